#include "Platform/App/Application.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "Platform/App/Form.h"
#include "Platform/App/MessagePanel.h"
#include "Platform/App/SdlBackend.h"
#include "Platform/App/Timer.h"
#include "Platform/Core/Clock.h"
#include "Platform/Core/Hooks.h"

namespace platform {

Application& Application::Instance() {
  static Application TheApplication;
  return TheApplication;
}

Application::Application() {
  SetProcessMessagesHook([this] { ProcessMessages(); });
  SetMessageBoxHook([this](const std::string& Text) { Display().ShowMessageBox(Title_, Text); });
}

Application::~Application() {
  SetProcessMessagesHook({});
  SetMessageBoxHook({});
  ErrorPanel_.reset();
}

void Application::SetTitle(std::string Value) {
  Title_ = std::move(Value);
  if (Backend_ && !Modal_.empty()) Backend_->SetTitle(Title_);
}

void Application::SetBackend(std::unique_ptr<Backend> Value) {
  Backend_ = std::move(Value);
  if (Backend_ && CursorCount_ < 0) Backend_->SetCursorVisible(false);
}

Backend& Application::Display() {
  if (!Backend_) Backend_ = std::make_unique<SdlBackend>();
  return *Backend_;
}

void Application::Present() {
  Form* Window = ActiveForm();
  if (Window && Backend_ && Window->EverPainted()) Window->WindowBuffer().Present(*Window, *Backend_);
}

void Application::Guard(const std::function<void()>& Handler) {
  struct Level {
    int& Depth;
    explicit Level(int& D) : Depth(D) { ++Depth; }
    ~Level() { --Depth; }
  };
  try {
    Level L(Depth_);
    Handler();
  } catch (const std::exception& Error) {
    ShowError(Error.what());
  } catch (...) {
    ShowError("Unbekannter Fehler");
  }
  Present();
}

void Application::ShowError(const std::string& Text) {
  Form* Window = ActiveForm();
  bool New = true;
  if (Window) {
    ErrorPanel().ShowMessage(*Window, Title_, Text);
    New = ErrorPanel().LastWasNew();
  }
  if (New) std::fprintf(stderr, "%s: %s\n", Title_.c_str(), Text.c_str());
}

MessagePanel& Application::ErrorPanel() {
  if (!ErrorPanel_) ErrorPanel_ = std::make_unique<MessagePanel>();
  return *ErrorPanel_;
}

void Application::Post(std::function<void()> Call) { Posted_.push_back(std::move(Call)); }

bool Application::DispatchPosted() {
  if (Posted_.empty()) return false;
  auto Call = std::move(Posted_.front());
  Posted_.pop_front();
  Guard(Call);
  return true;
}

void Application::Dispatch(Form& Window, const InputEvent& Event) {
  if (Event.Type == InputEvent::Kind::Command) {
    if (OnCommand) OnCommand(Event);
    return;
  }
  Window.DispatchInput(Event);
}

bool Application::DispatchInput(Form& Window) {
  if (!Backend_) return false;
  auto Event = Backend_->PollEvent();
  if (!Event) return false;
  Guard([&] { Dispatch(Window, *Event); });
  return true;
}

bool Application::DispatchTimer() {
  const std::uint32_t Now = GetTickCount();
  Timer* Next = nullptr;
  std::int32_t Latest = -1;
  for (Timer* T : Timers_) {
    if (!T->Running()) continue;
    const auto Late = static_cast<std::int32_t>(Now - T->DueTick());
    if (Late > Latest) {
      Latest = Late;
      Next = T;
    }
  }
  if (!Next) return false;
  Guard([&] { Next->Fire(Now); });
  return true;
}

void Application::WaitForWork(Form& Window) {
  if (Backend_->TakeRunLimit(true)) {
    Guard([&] {
      if (OnRunLimit) OnRunLimit();
      else Window.Close();
    });
    return;
  }
  const std::uint32_t Now = GetTickCount();
  std::optional<std::uint32_t> Due;
  std::uint32_t Soonest = 0;
  for (Timer* T : Timers_) {
    if (!T->Running()) continue;
    const std::uint32_t Wait = T->DueTick() - Now;
    if (!Due || Wait < Soonest) {
      Soonest = Wait;
      Due = T->DueTick();
    }
  }
  if (!Backend_->WaitUntil(Due)) {
    // Nothing can happen any more (a virtual run without timers or
    // scripted input): waiting would never end.
    std::fprintf(stderr, "%s: nothing left to wait for, the window closes\n", Title_.c_str());
    Window.CloseRequested_ = true;
  }
}

void Application::RunModal(Form& Window) {
  Backend& Display = this->Display();
  const TRect Screen = Display.PrimaryScreen();
  Window.CloseRequested_ = false;
  Window.Modal_ = true;
  Modal_.push_back(&Window);
  if (Modal_.size() == 1) {
    SetYieldHook([this] { Present(); });
    const std::uint32_t Now = GetTickCount();
    for (Timer* T : Timers_) T->Resync(Now);
  }
  struct EndRun {
    Application& App;
    Form& Window;
    ~EndRun() {
      App.Modal_.pop_back();
      if (App.ErrorPanel_ && App.ErrorPanel_->Parent() == &Window) App.ErrorPanel_->Dismiss();
      Window.SetActive(false);
      Window.SetVisible(false);
      Window.Modal_ = false;
      App.Backend_->CloseWindow();
      if (App.Modal_.empty()) SetYieldHook({});
    }
  };
  Window.SetBounds(Screen.Left, Screen.Top, Screen.Width(), Screen.Height());
  Window.WindowBuffer().Resize(Window.Width(), Window.Height());
  Display.OpenWindow(Title_.empty() ? Window.Caption : Title_, Screen);
  EndRun Ending{*this, Window};
  Window.SetVisible(true);
  Window.InvalidateClient(Window.ClientRect());
  Guard([&] {
    if (Window.OnShow) Window.OnShow(Window);
    Window.SetActive(true);
  });
  while (!Window.CloseRequested_) {
    if (DispatchPosted()) continue;
    if (DispatchInput(Window)) continue;
    if (Window.PaintPending()) {
      Guard([&] { Window.DispatchPaint(); });
      continue;
    }
    if (Backend_->TakeRunLimit(false)) {
      Guard([&] {
        if (OnRunLimit) OnRunLimit();
        else Window.Close();
      });
      continue;
    }
    if (DispatchTimer()) continue;
    WaitForWork(Window);
  }
  Present();
}

void Application::ProcessMessages() {
  Form* Window = ActiveForm();
  for (;;) {
    if (DispatchPosted()) continue;
    if (Window && DispatchInput(*Window)) continue;
    if (Window && Window->PaintPending()) {
      Guard([&] { Window->DispatchPaint(); });
      continue;
    }
    break;
  }
  Present();
}

int Application::ShowCursor(bool Show) {
  CursorCount_ += Show ? 1 : -1;
  if (Backend_) Backend_->SetCursorVisible(CursorCount_ >= 0);
  return CursorCount_;
}

TPoint Application::CursorPos() { return Display().PointerPosition(); }

void Application::RegisterTimer(Timer& T) { Timers_.push_back(&T); }

void Application::UnregisterTimer(Timer& T) { Timers_.erase(std::remove(Timers_.begin(), Timers_.end(), &T), Timers_.end()); }

int ShowCursor(bool Show) { return Application::Instance().ShowCursor(Show); }
TPoint GetCursorPos() { return Application::Instance().CursorPos(); }

}  // namespace platform
