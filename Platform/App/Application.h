#pragma once
// The application object: the program's message loop (one modal run per
// window), timers as low-priority messages, the error guard around every
// handler, ProcessMessages for long work, and the application title.
//
// Priorities of the loop, highest first: posted calls, input, paint, timers.
// Timers fire only from the loop itself, never inside another handler.
// Whenever a handler ends, the program sleeps or a window is updated
// synchronously, what changed on the window reaches the screen (one frame).
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Platform/App/Backend.h"

namespace platform {

class Form;
class Timer;
class MessagePanel;

class Application {
public:
  static Application& Instance();
  ~Application();

  // The program's title: shown with errors, the window's title.
  const std::string& Title() const { return Title_; }
  void SetTitle(std::string Value);

  // The display. Without one set, the first use opens the SDL backend.
  void SetBackend(std::unique_ptr<Backend> Value);
  Backend& Display();
  bool HasDisplay() const { return static_cast<bool>(Backend_); }

  // Runs Window until it is closed.
  void RunModal(Form& Window);
  Form* ActiveForm() const { return Modal_.empty() ? nullptr : Modal_.back(); }

  // Handles every waiting posted call, input and paint message (not timers:
  // they never run inside a handler), then presents. For long work.
  void ProcessMessages();
  // Runs Call as a message of its own after the current one.
  void Post(std::function<void()> Call);
  // Puts what changed on the active window on the screen.
  void Present();

  // The error guard: runs Handler; an error it raises is shown (message panel
  // over the active window and stderr) and the program goes on.
  void Guard(const std::function<void()>& Handler);
  void ShowError(const std::string& Text);
  MessagePanel& ErrorPanel();

  // A scripted command event (InputEvent::Kind::Command) arrived.
  std::function<void(const InputEvent&)> OnCommand;
  // The backend's run limit was reached; by default the active window closes.
  std::function<void()> OnRunLimit;

  // The pointer's show/hide counter: shown while it is 0 or more.
  int ShowCursor(bool Show);
  TPoint CursorPos();

  // Timers register themselves for the loop.
  void RegisterTimer(Timer& T);
  void UnregisterTimer(Timer& T);
  int HandlerDepth() const { return Depth_; }

private:
  Application();
  bool DispatchPosted();
  bool DispatchInput(Form& Window);
  bool DispatchTimer();
  void WaitForWork(Form& Window);
  void Dispatch(Form& Window, const InputEvent& Event);

  std::string Title_;
  std::unique_ptr<Backend> Backend_;
  std::vector<Form*> Modal_;
  std::vector<Timer*> Timers_;
  std::deque<std::function<void()>> Posted_;
  std::unique_ptr<MessagePanel> ErrorPanel_;
  int Depth_ = 0;
  int CursorCount_ = 0;
};

// The system's names.
int ShowCursor(bool Show);
TPoint GetCursorPos();

}  // namespace platform
