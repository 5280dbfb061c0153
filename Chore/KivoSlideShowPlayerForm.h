#pragma once
// The player window: covers the screen without a frame, holds the
// presentation surface, drives the show with three timers (next slide, slide
// step, pointer watch), offers the navigation bar and the exit button, ends
// the show on Esc (released) and forwards all other input to the
// presentation.
#include <cstdint>
#include <memory>
#include <string>

#include "Chore/WinPaintBox32.h"
#include "Platform/App/Form.h"
#include "Platform/App/Timer.h"
#include "Platform/App/ToolBar.h"
#include "SlideObjects/MoviePanel.h"
#include "Platform/Sound/MediaPlayer.h"
#include "SlideObjects/PlayerWindow.h"
#include "SlideObjects/SoundPlayer.h"

class TSlides;
class TSlide;
class TDavazozavPlugin;

class TKivoSlideShowPlayerForm : public platform::Form, public PlayerWindow {
public:
  // Interval of the slide tick while running and while paused.
  static constexpr std::uint32_t SlideInterval = 10;
  static constexpr std::uint32_t PausedSlideInterval = 500;
  // The pointer watch: a movement is more than this many pixels on an axis;
  // the bar and the pointer hide after this much rest.
  static constexpr std::int32_t MovementThreshold = 4;
  static constexpr std::uint32_t IdleMilliseconds = 3000;

  TKivoSlideShowPlayerForm();
  ~TKivoSlideShowPlayerForm() override;

  // Resets Slides, shows the window modally; true once it has been closed.
  bool Play(TSlides& Slides);

  // PlayerWindow
  void InvalidateAll() override;
  void InvalidateArea(const TRect& Area) override;
  void FlushSurface() override;
  PlayerSurface& PaintBox() override { return PaintBox_; }
  TSoundPlayer& SoundPlayer() override;
  TMoviePanel& VideoPlayer() override { return VideoPlayer_; }

  // Runs the click handler of the button named slide-back, back, stop, next,
  // slide-next or exit, shown or not; false for another name.
  bool ClickButton(const std::string& Name);
  // Stops the current object and closes the window.
  void StopAndClose();

  // Components, in the order the window holds them.
  TWinPaintBox32& Surface() { return PaintBox_; }

private:
  TWinPaintBox32 PaintBox_;

public:
  platform::Timer DiashowTimer;
  platform::Timer SlideTimer;  // Tag 1: a slide is running and is stepped
  TSoundPlayerTimer SoundPlayerTimer;
  platform::MediaPlayer SoundMediaPlayer;
  platform::Timer MouseCaptureTimer;
  platform::ImageList ImageList1{39, 49};  // the buttons' pictures
  platform::ImageList ImageList2{39, 49};  // the same, with the pointer over them
  platform::Panel ExitBtnPanel;
  platform::ToolBar ToolBar1;
  platform::ToolButton ToolButton6;
  platform::Panel NavigationPanel;
  platform::ToolBar NavigationToolBar;
  platform::ToolButton SlideBackBtn;
  platform::ToolButton BackBtn;
  platform::ToolButton StopBtn;
  platform::ToolButton NextBtn;
  platform::ToolButton SlideNextBtn;

  // Fields.
  TSlides* Slides = nullptr;  // not owned
  bool SurfaceTouched = false;
  TPoint LastMousePos{-1, -1};  // screen coordinates
  std::uint32_t LastActivityTick = 0;
  bool CursorVisible = true;
  bool Paused = false;

  // Handlers, by the names the window wires them under.
  void DiashowTimerTimer();
  void SlideTimerTimer();
  void MouseCaptureTimerTimer();
  void StopBtnClick();
  void NextBtnClick();
  void BackBtnClick();
  void SlideNextBtnClick();
  void SlideBackBtnClick();
  void FormKeyUp(std::uint16_t& Key, platform::ShiftState Shift);
  void PaintBoxResize();
  void FormResize();

private:
  void GotoNextSlide();
  void GotoPreviousSlide();
  // The slide's Step with the error rule for slide objects: an error raised
  // by an object's Start, Step or Stop is shown once, and the object then
  // counts as done for this run.
  bool StepSlide(TSlide& Slide);
  void WireEvents();
  void LoadButtonPictures();

  TMoviePanel VideoPlayer_;
  std::unique_ptr<TSoundPlayer> SoundPlayer_;  // owned; objects play sounds through it
  // The object whose error was shown in its current run.
  TDavazozavPlugin* FailedObject_ = nullptr;
};
