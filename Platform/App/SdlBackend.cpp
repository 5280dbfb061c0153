#include "Platform/App/SdlBackend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "Platform/App/KeyMap.h"
#include "Platform/Core/Clock.h"

namespace platform {
namespace {

ShiftState CurrentShift() {
  ShiftState S = 0;
  const SDL_Keymod Mod = SDL_GetModState();
  if (Mod & KMOD_SHIFT) S |= ShiftKey;
  if (Mod & KMOD_ALT) S |= AltKey;
  if (Mod & KMOD_CTRL) S |= CtrlKey;
  const Uint32 Buttons = SDL_GetMouseState(nullptr, nullptr);
  if (Buttons & SDL_BUTTON_LMASK) S |= LeftButtonHeld;
  if (Buttons & SDL_BUTTON_RMASK) S |= RightButtonHeld;
  if (Buttons & SDL_BUTTON_MMASK) S |= MiddleButtonHeld;
  return S;
}

std::optional<MouseButton> ButtonOf(Uint8 Button) {
  switch (Button) {
    case SDL_BUTTON_LEFT: return MouseButton::Left;
    case SDL_BUTTON_RIGHT: return MouseButton::Right;
    case SDL_BUTTON_MIDDLE: return MouseButton::Middle;
    default: return std::nullopt;
  }
}

}  // namespace

void SdlBackend::WindowFree::operator()(SDL_Window* W) const { SDL_DestroyWindow(W); }
void SdlBackend::RendererFree::operator()(SDL_Renderer* R) const { SDL_DestroyRenderer(R); }
void SdlBackend::TextureFree::operator()(SDL_Texture* T) const { SDL_DestroyTexture(T); }

SdlBackend::SdlBackend() = default;

SdlBackend::~SdlBackend() {
  Texture_.reset();
  Renderer_.reset();
  Window_.reset();
  // The video subsystem stays up until the process ends: quitting it unloads
  // the X libraries SDL loaded, and what they keep for the process would then
  // be reported as leaked memory of no known library. The window is gone,
  // which is all the desktop sees.
}

bool SdlBackend::VideoAvailable() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return true;
}

void SdlBackend::StartVideo() {
  if (VideoStarted_) return;
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    throw std::runtime_error(std::string("Keine Anzeige: ") + SDL_GetError());
  VideoStarted_ = true;
}

TRect SdlBackend::PrimaryScreen() {
  StartVideo();
  SDL_Rect R;
  if (SDL_GetDisplayBounds(0, &R) != 0) throw std::runtime_error(std::string("Keine Anzeige: ") + SDL_GetError());
  return TRect{R.x, R.y, R.x + R.w, R.y + R.h};
}

void SdlBackend::OpenWindow(const std::string& Title, const TRect& Bounds) {
  StartVideo();
  Window_.reset(SDL_CreateWindow(Title.c_str(), Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height(),
                                 SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_INPUT_FOCUS));
  if (!Window_) throw std::runtime_error(std::string("Fenster: ") + SDL_GetError());
  // No vsync: presenting must not wait, the transitions pace themselves.
  Renderer_.reset(SDL_CreateRenderer(Window_.get(), -1, 0));
  if (!Renderer_) Renderer_.reset(SDL_CreateRenderer(Window_.get(), -1, SDL_RENDERER_SOFTWARE));
  if (!Renderer_) throw std::runtime_error(std::string("Fenster: ") + SDL_GetError());
  SDL_StartTextInput();
  SDL_ShowCursor(CursorVisible_ ? SDL_ENABLE : SDL_DISABLE);
  // Full-screen desktop may give the window another size than asked for.
  int W = 0, H = 0;
  SDL_GetWindowSize(Window_.get(), &W, &H);
  if (W > 0 && H > 0 && (W != Bounds.Width() || H != Bounds.Height())) {
    InputEvent Size;
    Size.Type = InputEvent::Kind::Resize;
    Size.Position = TPoint{W, H};
    Pending_.push_back(Size);
  }
}

void SdlBackend::CloseWindow() {
  SDL_StopTextInput();
  Texture_.reset();
  Renderer_.reset();
  Window_.reset();
  TextureWidth_ = TextureHeight_ = 0;
}

void SdlBackend::SetTitle(const std::string& Title) {
  if (Window_) SDL_SetWindowTitle(Window_.get(), Title.c_str());
}

void SdlBackend::EnsureTexture(std::int32_t Width, std::int32_t Height) {
  if (Texture_ && Width == TextureWidth_ && Height == TextureHeight_) return;
  Texture_.reset(SDL_CreateTexture(Renderer_.get(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, Width,
                                   Height));
  if (!Texture_) throw std::runtime_error(std::string("Textur: ") + SDL_GetError());
  TextureWidth_ = Width;
  TextureHeight_ = Height;
}

void SdlBackend::Present(const PixelView& Screen, const TRect& Changed) {
  if (!Renderer_ || Screen.Width <= 0 || Screen.Height <= 0) return;
  const bool Fresh = !Texture_ || Screen.Width != TextureWidth_ || Screen.Height != TextureHeight_;
  EnsureTexture(Screen.Width, Screen.Height);
  const TRect Area = Fresh ? TRect{0, 0, Screen.Width, Screen.Height} : Changed;
  const SDL_Rect R{Area.Left, Area.Top, Area.Width(), Area.Height()};
  SDL_UpdateTexture(Texture_.get(), &R, Screen.Row(Area.Top) + Area.Left,
                    Screen.Stride * static_cast<int>(sizeof(TColor32)));
  SDL_RenderCopy(Renderer_.get(), Texture_.get(), nullptr, nullptr);
  SDL_RenderPresent(Renderer_.get());
}

std::vector<TColor32> SdlBackend::ReadScreen(std::int32_t& Width, std::int32_t& Height) {
  Width = Height = 0;
  if (!Renderer_ || !Texture_) return {};
  SDL_RenderCopy(Renderer_.get(), Texture_.get(), nullptr, nullptr);
  SDL_GetRendererOutputSize(Renderer_.get(), &Width, &Height);
  std::vector<TColor32> Pixels(static_cast<std::size_t>(Width) * Height);
  if (SDL_RenderReadPixels(Renderer_.get(), nullptr, SDL_PIXELFORMAT_ARGB8888, Pixels.data(),
                           Width * static_cast<int>(sizeof(TColor32))) != 0)
    Pixels.clear();
  SDL_RenderPresent(Renderer_.get());
  return Pixels;
}

std::optional<InputEvent> SdlBackend::PollEvent() {
  using K = InputEvent::Kind;
  if (!Pending_.empty()) {
    InputEvent E = Pending_.front();
    Pending_.erase(Pending_.begin());
    return E;
  }
  if (!VideoStarted_) return std::nullopt;
  SDL_Event S;
  while (SDL_PollEvent(&S)) {
    InputEvent E;
    switch (S.type) {
      case SDL_QUIT: E.Type = K::CloseRequest; return E;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        E.Type = S.type == SDL_KEYDOWN ? K::KeyDown : K::KeyUp;
        E.Key = VirtualKeyFromSdl(S.key.keysym.sym);
        E.Shift = CurrentShift();
        if (E.Key == 0) continue;
        if (S.type == SDL_KEYDOWN) {
          if (const char C = KeyPressCharFromSdl(S.key.keysym.sym)) {
            InputEvent Press;
            Press.Type = K::KeyPress;
            Press.Key = static_cast<unsigned char>(C);
            Pending_.push_back(Press);
          }
        }
        return E;
      }
      case SDL_TEXTINPUT: {
        const std::string Chars = TypedTextToCp1252(S.text.text);
        if (Chars.empty()) continue;
        for (const char C : Chars) {
          InputEvent Press;
          Press.Type = K::KeyPress;
          Press.Key = static_cast<unsigned char>(C);
          Pending_.push_back(Press);
        }
        E = Pending_.front();
        Pending_.erase(Pending_.begin());
        return E;
      }
      case SDL_MOUSEMOTION:
        E.Type = K::MouseMove;
        E.Position = TPoint{S.motion.x, S.motion.y};
        E.Shift = CurrentShift();
        return E;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        const auto Button = ButtonOf(S.button.button);
        if (!Button) continue;
        E.Type = S.type == SDL_MOUSEBUTTONDOWN ? K::MouseDown : K::MouseUp;
        E.Button = *Button;
        E.Position = TPoint{S.button.x, S.button.y};
        E.Shift = CurrentShift();
        return E;
      }
      case SDL_WINDOWEVENT:
        switch (S.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED: E.Type = K::FocusIn; return E;
          case SDL_WINDOWEVENT_FOCUS_LOST: E.Type = K::FocusOut; return E;
          case SDL_WINDOWEVENT_CLOSE: E.Type = K::CloseRequest; return E;
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            E.Type = K::Resize;
            E.Position = TPoint{S.window.data1, S.window.data2};
            return E;
          case SDL_WINDOWEVENT_EXPOSED: E.Type = K::Expose; return E;
          default: continue;
        }
      default: continue;
    }
  }
  return std::nullopt;
}

bool SdlBackend::WaitUntil(std::optional<std::uint32_t> Tick) {
  if (!Pending_.empty()) return true;
  int Timeout = -1;
  if (Tick) {
    const auto Left = static_cast<std::int32_t>(*Tick - GetTickCount());
    Timeout = std::max(Left, 0);
  }
  if (!VideoStarted_) {
    if (Timeout < 0) return false;
    ::Sleep(static_cast<std::uint32_t>(Timeout));
    return true;
  }
  SDL_WaitEventTimeout(nullptr, Timeout);
  return true;
}

void SdlBackend::SetCursorVisible(bool Visible) {
  CursorVisible_ = Visible;
  if (VideoStarted_) SDL_ShowCursor(Visible ? SDL_ENABLE : SDL_DISABLE);
}

TPoint SdlBackend::PointerPosition() {
  if (!VideoStarted_) return TPoint{0, 0};
  int X = 0, Y = 0;
  SDL_GetGlobalMouseState(&X, &Y);
  return TPoint{X, Y};
}

void SdlBackend::ShowMessageBox(const std::string& Title, const std::string& Text) {
  // Without a display the text goes to stderr instead.
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, Title.c_str(), Text.c_str(), Window_.get()) != 0)
    std::fprintf(stderr, "%s: %s\n", Title.c_str(), Text.c_str());
}

}  // namespace platform
