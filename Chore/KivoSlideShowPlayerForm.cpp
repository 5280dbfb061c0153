#include "Chore/KivoSlideShowPlayerForm.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <vector>

#include "Platform/App/Application.h"
#include "Platform/App/DebugTrace.h"
#include "Platform/Core/Clock.h"
#include "Platform/Pictures/Picture.h"
#include "Slides/Slides.h"
#include "Tools/MediaFiles.h"

namespace {

constexpr std::uint16_t EscapeKey = 27;

TMouseButton ToSystemButton(platform::MouseButton Button) {
  switch (Button) {
    case platform::MouseButton::Right: return TMouseButton::mbRight;
    case platform::MouseButton::Middle: return TMouseButton::mbMiddle;
    default: return TMouseButton::mbLeft;
  }
}

bool Contains(const TRect& R, TPoint P) { return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom; }

// The six button pictures from a 234 x 49 strip (six 39 x 49 pictures side
// by side); nothing when the file is missing or not such a strip.
void LoadStrip(const std::string& Path, platform::ImageList& List) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) return;
  const std::vector<std::uint8_t> Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  platform::DecoderFunction Decode = platform::ThePictureFormats().Find("png");
  if (!Decode) {
    platform::RegisterPictureFormats();
    Decode = platform::ThePictureFormats().Find("png");
  }
  if (!Decode) return;
  try {
    const auto Picture = Decode(Bytes, platform::DecodeHints{});
    const platform::RasterImage* Image = Picture ? Picture->Raster() : nullptr;
    if (!Image || Image->Height != List.Height() || Image->Width < 6 * List.Width()) return;
    for (std::int32_t Index = 0; Index < 6; ++Index) {
      std::vector<TColor32> Pixels;
      Pixels.reserve(static_cast<std::size_t>(List.Width()) * List.Height());
      for (std::int32_t Y = 0; Y < List.Height(); ++Y)
        for (std::int32_t X = 0; X < List.Width(); ++X) Pixels.push_back(Image->At(Index * List.Width() + X, Y));
      List.Add(std::move(Pixels));
    }
  } catch (const std::exception& Error) {
    std::fprintf(stderr, "%s: %s\n", Path.c_str(), Error.what());
  }
}

}  // namespace

TKivoSlideShowPlayerForm::TKivoSlideShowPlayerForm()
    : PaintBox_(this),
      ExitBtnPanel(this),
      ToolBar1(&ExitBtnPanel),
      ToolButton6(ToolBar1),
      NavigationPanel(this),
      NavigationToolBar(&NavigationPanel),
      SlideBackBtn(NavigationToolBar),
      BackBtn(NavigationToolBar),
      StopBtn(NavigationToolBar),
      NextBtn(NavigationToolBar),
      SlideNextBtn(NavigationToolBar),
      VideoPlayer_(this) {
  Name = "KivoSlideShowPlayerForm";
  Caption = "KivoSlideShowPlayerForm";
  KeyPreview = true;
  Color = platform::ButtonFace;
  // The design size; the window covers the screen once shown, and the layout
  // below follows it there.
  SetBounds(0, 0, 739, 430);

  PaintBox_.SetAlign(platform::Align::Client);

  DiashowTimer.SetInterval(100);
  SlideTimer.SetInterval(SlideInterval);
  SlideTimer.Tag = 0;
  MouseCaptureTimer.SetInterval(100);

  LoadButtonPictures();

  ExitBtnPanel.Name = "ExitBtnPanel";
  ExitBtnPanel.SetBounds(0, Height() - 57, 48, 57);
  ExitBtnPanel.SetAnchors(platform::AnchorLeft | platform::AnchorBottom);
  ExitBtnPanel.Hide();
  ToolBar1.Name = "ToolBar1";
  ToolBar1.ButtonWidth = 46;
  ToolBar1.ButtonHeight = 55;
  ToolBar1.Images = &ImageList1;
  ToolBar1.HotImages = &ImageList2;
  ToolBar1.SetAlign(platform::Align::Client);
  ToolButton6.Name = "ToolButton6";
  ToolButton6.ImageIndex = 5;

  // Centred horizontally by PaintBoxResize and kept at the bottom by
  // FormResize; the left anchor keeps the platform from moving it again.
  NavigationPanel.Name = "NavigationPanel";
  NavigationPanel.SetBounds((Width() - 230) / 2, Height() - 57, 232, 57);
  NavigationPanel.SetAnchors(platform::AnchorLeft | platform::AnchorBottom);
  NavigationPanel.Hide();
  NavigationToolBar.Name = "NavigationToolBar";
  NavigationToolBar.ButtonWidth = 46;
  NavigationToolBar.ButtonHeight = 55;
  NavigationToolBar.Images = &ImageList1;
  NavigationToolBar.HotImages = &ImageList2;
  NavigationToolBar.SetBounds(1, 1, 230, 55);
  platform::ToolButton* Buttons[] = {&SlideBackBtn, &BackBtn, &StopBtn, &NextBtn, &SlideNextBtn};
  const char* Names[] = {"SlideBackBtn", "BackBtn", "StopBtn", "NextBtn", "SlideNextBtn"};
  for (int I = 0; I < 5; ++I) {
    Buttons[I]->Name = Names[I];
    Buttons[I]->ImageIndex = I;
  }
  StopBtn.Kind = platform::ToolButton::Style::Check;
  NavigationToolBar.Arrange();
  ToolBar1.Arrange();

  VideoPlayer_.SetBounds(8, 40, 25, 25);

  SoundMediaPlayer.Visible = false;
  SoundPlayer_ = std::make_unique<TSoundPlayer>(SoundMediaPlayer, SoundPlayerTimer);

  WireEvents();
}

TKivoSlideShowPlayerForm::~TKivoSlideShowPlayerForm() {
  SoundPlayer_.reset();
  if (!CursorVisible) {
    platform::ShowCursor(true);
    CursorVisible = true;
  }
}

void TKivoSlideShowPlayerForm::LoadButtonPictures() {
  const std::string Data = GetProgramDataFolder();
  LoadStrip(Data + "buttons.png", ImageList1);
  LoadStrip(Data + "buttons-hot.png", ImageList2);
}

void TKivoSlideShowPlayerForm::WireEvents() {
  DiashowTimer.SetOnTimer([this](platform::Timer&) { DiashowTimerTimer(); });
  SlideTimer.SetOnTimer([this](platform::Timer&) { SlideTimerTimer(); });
  MouseCaptureTimer.SetOnTimer([this](platform::Timer&) { MouseCaptureTimerTimer(); });

  StopBtn.OnClick = [this](platform::Control&) { StopBtnClick(); };
  NextBtn.OnClick = [this](platform::Control&) { NextBtnClick(); };
  BackBtn.OnClick = [this](platform::Control&) { BackBtnClick(); };
  SlideNextBtn.OnClick = [this](platform::Control&) { SlideNextBtnClick(); };
  SlideBackBtn.OnClick = [this](platform::Control&) { SlideBackBtnClick(); };
  ToolButton6.OnClick = [this](platform::Control&) { StopAndClose(); };

  auto KeyDown = [this](platform::Control&, std::uint16_t& Key, platform::ShiftState Shift) {
    if (Slides) Slides->KeyDown(this, Key, Shift);
  };
  auto KeyPress = [this](platform::Control&, char& Key) {
    if (Slides) Slides->KeyPress(this, Key);
  };
  OnKeyDown = KeyDown;
  OnKeyPress = KeyPress;
  OnKeyUp = [this](platform::Control&, std::uint16_t& Key, platform::ShiftState Shift) { FormKeyUp(Key, Shift); };
  PaintBox_.OnKeyDown = KeyDown;
  PaintBox_.OnKeyPress = KeyPress;
  PaintBox_.OnKeyUp = [this](platform::Control&, std::uint16_t& Key, platform::ShiftState Shift) {
    if (Slides) Slides->KeyUp(this, Key, Shift);
  };
  PaintBox_.OnMouseDown = [this](platform::Control&, platform::MouseButton Button, platform::ShiftState Shift,
                                 std::int32_t X, std::int32_t Y) {
    if (Slides) Slides->MouseDown(this, ToSystemButton(Button), Shift, X, Y);
  };
  PaintBox_.OnMouseMove = [this](platform::Control&, platform::ShiftState Shift, std::int32_t X, std::int32_t Y) {
    if (Slides) Slides->MouseMove(this, Shift, X, Y);
  };
  PaintBox_.OnMouseUp = [this](platform::Control&, platform::MouseButton Button, platform::ShiftState Shift,
                               std::int32_t X, std::int32_t Y) {
    if (Slides) Slides->MouseUp(this, ToSystemButton(Button), Shift, X, Y);
  };
  PaintBox_.OnResize = [this](platform::Control&) { PaintBoxResize(); };
  OnResize = [this](platform::Control&) { FormResize(); };
}

bool TKivoSlideShowPlayerForm::Play(TSlides& Presentation) {
  Slides = &Presentation;
  Slides->Reset();
  platform::Application& App = platform::Application::Instance();
  // Scripted "button:NAME" commands click the buttons.
  auto PreviousCommand = App.OnCommand;
  App.OnCommand = [this](const platform::InputEvent& Event) {
    if (Event.Name == "button") ClickButton(Event.Args);
  };
  struct RestoreCommand {
    platform::Application& App;
    std::function<void(const platform::InputEvent&)> Previous;
    ~RestoreCommand() { App.OnCommand = std::move(Previous); }
  } Restoring{App, std::move(PreviousCommand)};
  ShowModal();
  return true;
}

void TKivoSlideShowPlayerForm::InvalidateAll() {
  PaintBox_.InvalidateSurface(true, true);
  SurfaceTouched = true;
}

void TKivoSlideShowPlayerForm::InvalidateArea(const TRect& Area) {
  PaintBox_.InvalidateRect(Area);
  SurfaceTouched = true;
}

void TKivoSlideShowPlayerForm::FlushSurface() {
  if (SurfaceTouched) PaintBox_.Update();
}

TSoundPlayer& TKivoSlideShowPlayerForm::SoundPlayer() { return *SoundPlayer_; }

bool TKivoSlideShowPlayerForm::ClickButton(const std::string& ButtonName) {
  platform::ToolButton* Button = nullptr;
  if (ButtonName == "slide-back") Button = &SlideBackBtn;
  else if (ButtonName == "back") Button = &BackBtn;
  else if (ButtonName == "stop") Button = &StopBtn;
  else if (ButtonName == "next") Button = &NextBtn;
  else if (ButtonName == "slide-next") Button = &SlideNextBtn;
  else if (ButtonName == "exit") Button = &ToolButton6;
  if (!Button) return false;
  Button->Click();
  return true;
}

void TKivoSlideShowPlayerForm::GotoNextSlide() {
  if (!Slides) return;
  Slides->NextSlide();
  if (TSlide* Slide = Slides->CurrentSlide()) Slide->ResetPlayState();
  SlideTimer.Tag = 1;
}

void TKivoSlideShowPlayerForm::GotoPreviousSlide() {
  if (!Slides) return;
  Slides->PreviousSlide();
  if (TSlide* Slide = Slides->CurrentSlide()) Slide->ResetPlayState();
  SlideTimer.Tag = 1;
}

void TKivoSlideShowPlayerForm::StopAndClose() {
  if (Slides) Slides->StopCurrentObject();
  Close();
}

void TKivoSlideShowPlayerForm::DiashowTimerTimer() {
  if (SlideTimer.Tag == 0) GotoNextSlide();
}

void TKivoSlideShowPlayerForm::SlideTimerTimer() {
  if (SlideTimer.Tag != 1) return;
  TSlide* Slide = Slides ? Slides->CurrentSlide() : nullptr;
  if (!Slide) {
    SlideTimer.Tag = 0;
    return;
  }
  if (Paused) return;
  if (!StepSlide(*Slide)) SlideTimer.Tag = 0;
}

namespace {

// The object a slide step works on: the pending background, else the
// current object.
TDavazozavPlugin* RunningObject(TSlide& Slide) {
  if (Slide.PendingBackground) return Slide.PendingBackground;
  return Slide.CurrentObject();
}

}  // namespace

bool TKivoSlideShowPlayerForm::StepSlide(TSlide& Slide) {
  platform::Application& App = platform::Application::Instance();
  // Runs Work; an error is reported once per run of the object that raised
  // it, which then counts as done (State 2) so that the slide moves on by its
  // timing mode instead of raising the same error on every tick. Answers
  // whether the slide still runs, or nothing when Work raised.
  auto Attempt = [&](const std::function<bool()>& Work) -> std::optional<bool> {
    std::string Text;
    try {
      return Work();
    } catch (const std::exception& Error) {
      Text = Error.what();
    } catch (...) {
      Text = "Unbekannter Fehler";
    }
    TDavazozavPlugin* Culprit = RunningObject(Slide);
    if (!Culprit || Culprit != FailedObject_) App.ShowError(Text);
    if (Culprit) {
      Culprit->State = 2;
      FailedObject_ = Culprit;
    }
    return std::nullopt;
  };

  const TDavazozavPlugin* FailedBefore = FailedObject_;
  std::optional<bool> Running = Attempt([&] { return Slide.Step(); });
  if (Running) {
    if (FailedObject_ && FailedObject_ != RunningObject(Slide)) FailedObject_ = nullptr;
    return *Running;
  }
  // The same object failed again in the same run: once it is finished by its
  // timing mode, the slide leaves it without asking it to stop once more (its
  // Stop may be what keeps failing).
  TDavazozavPlugin* Culprit = FailedObject_;
  if (!Culprit || Culprit != FailedBefore || !Culprit->IsFinished()) return true;
  Culprit->PlayerForm = nullptr;
  FailedObject_ = nullptr;
  Running = Attempt([&] {
    bool StillRunning = true;
    if (Culprit == Slide.PendingBackground) Slide.PendingBackground = nullptr;
    else if (Slide.PreviousRequested) StillRunning = !Slide.PreviousObject();
    else StillRunning = !Slide.NextObject();
    Slide.NextRequested = false;
    Slide.PreviousRequested = false;
    return StillRunning;
  });
  return Running.value_or(true);
}

void TKivoSlideShowPlayerForm::MouseCaptureTimerTimer() {
  const std::uint32_t Now = GetTickCount();
  if (LastActivityTick == 0) LastActivityTick = Now;
  const TPoint P = platform::GetCursorPos();
  if (LastMousePos.X == -1 && LastMousePos.Y == -1) LastMousePos = P;
  const std::int32_t DX = P.X - LastMousePos.X, DY = P.Y - LastMousePos.Y;
  if (DX > MovementThreshold || DX < -MovementThreshold || DY > MovementThreshold || DY < -MovementThreshold) {
    platform::OutputDebugString(std::to_string(P.X) + " = " + std::to_string(LastMousePos.X));
    platform::OutputDebugString(std::to_string(P.Y) + " = " + std::to_string(LastMousePos.Y));
    if (!NavigationPanel.Visible()) NavigationPanel.Show();
    if (!ExitBtnPanel.Visible()) ExitBtnPanel.Show();
    if (!CursorVisible) {
      platform::ShowCursor(true);
      CursorVisible = true;
    }
    LastMousePos = P;
    LastActivityTick = Now;
    return;
  }
  if (static_cast<std::uint32_t>(Now - LastActivityTick) < IdleMilliseconds) return;
  LastActivityTick = Now;
  const TPoint InSurface = PaintBox_.ScreenToClient(P);
  const bool OverStage = Contains(PaintBox_.BoundsRect(), InSurface) &&
                         !Contains(ExitBtnPanel.BoundsRect(), InSurface) &&
                         !Contains(NavigationPanel.BoundsRect(), InSurface);
  if (!OverStage || !WindowHasFocus() || !CursorVisible) return;
  LastMousePos = P;
  platform::ShowCursor(false);
  CursorVisible = false;
  NavigationPanel.Hide();
  ExitBtnPanel.Hide();
  InvalidateArea(NavigationPanel.BoundsRect());
  InvalidateArea(ExitBtnPanel.BoundsRect());
  FlushSurface();
}

void TKivoSlideShowPlayerForm::StopBtnClick() {
  TSlide* Slide = Slides ? Slides->CurrentSlide() : nullptr;
  if (Slide) {
    if (!Paused) {
      Slide->PauseCurrentObject();
      Paused = true;
      SlideTimer.SetInterval(PausedSlideInterval);
    } else {
      Slide->ResumeCurrentObject();
      Paused = false;
      SlideTimer.SetInterval(SlideInterval);
    }
  }
  // The toggle shows the pause state, also after a click that changed nothing.
  StopBtn.SetDown(Paused);
}

void TKivoSlideShowPlayerForm::NextBtnClick() {
  TSlide* Slide = Slides ? Slides->CurrentSlide() : nullptr;
  if (Slide && !Slide->RequestNextObject()) SlideNextBtnClick();
}

void TKivoSlideShowPlayerForm::BackBtnClick() {
  TSlide* Slide = Slides ? Slides->CurrentSlide() : nullptr;
  if (Slide && !Slide->RequestPreviousObject()) SlideBackBtnClick();
}

void TKivoSlideShowPlayerForm::SlideNextBtnClick() {
  if (TSlide* Slide = Slides ? Slides->CurrentSlide() : nullptr) Slide->StopCurrentObject();
  GotoNextSlide();
}

void TKivoSlideShowPlayerForm::SlideBackBtnClick() {
  if (TSlide* Slide = Slides ? Slides->CurrentSlide() : nullptr) Slide->StopCurrentObject();
  GotoPreviousSlide();
}

void TKivoSlideShowPlayerForm::FormKeyUp(std::uint16_t& Key, platform::ShiftState Shift) {
  if (Key == EscapeKey) StopAndClose();
  if (Slides) Slides->KeyUp(this, Key, Shift);
}

void TKivoSlideShowPlayerForm::PaintBoxResize() {
  NavigationPanel.SetLeft((PaintBox_.Width() - NavigationToolBar.Width()) / 2);
}

void TKivoSlideShowPlayerForm::FormResize() { NavigationPanel.SetTop(Height() - NavigationPanel.Height()); }
