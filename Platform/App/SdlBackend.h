#pragma once
// The real display through SDL2: one borderless full-screen-desktop window on
// the primary display, keys as virtual-key codes and Windows-1252
// characters, the mouse in window pixels, the pointer, message boxes.
// Frames are presented without waiting for the vertical blank: the show
// paces itself with sleeps.
#include <memory>
#include <vector>

#include "Platform/App/Backend.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace platform {

class SdlBackend final : public Backend {
public:
  SdlBackend();
  ~SdlBackend() override;

  // Whether SDL's video can be started here (a display can be had).
  static bool VideoAvailable();

  TRect PrimaryScreen() override;
  void OpenWindow(const std::string& Title, const TRect& Bounds) override;
  void CloseWindow() override;
  void SetTitle(const std::string& Title) override;
  std::optional<InputEvent> PollEvent() override;
  bool WaitUntil(std::optional<std::uint32_t> Tick) override;
  void Present(const PixelView& Screen, const TRect& Changed) override;
  void SetCursorVisible(bool Visible) override;
  TPoint PointerPosition() override;
  void ShowMessageBox(const std::string& Title, const std::string& Text) override;

  // What the window shows now, read back from the renderer (tests).
  std::vector<TColor32> ReadScreen(std::int32_t& Width, std::int32_t& Height);

private:
  struct WindowFree { void operator()(SDL_Window* W) const; };
  struct RendererFree { void operator()(SDL_Renderer* R) const; };
  struct TextureFree { void operator()(SDL_Texture* T) const; };
  void StartVideo();
  void EnsureTexture(std::int32_t Width, std::int32_t Height);
  bool VideoStarted_ = false;
  bool CursorVisible_ = true;
  std::unique_ptr<SDL_Window, WindowFree> Window_;
  std::unique_ptr<SDL_Renderer, RendererFree> Renderer_;
  std::unique_ptr<SDL_Texture, TextureFree> Texture_;
  std::int32_t TextureWidth_ = 0, TextureHeight_ = 0;
  std::vector<InputEvent> Pending_;  // events one SDL event turned into several
};

}  // namespace platform
