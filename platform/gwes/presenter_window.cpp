// The presenter's SDL2 window. It polls the shared screen's change counter between events and
// uploads a fresh picture when it moved; the picture's size sets the window's, so a screen
// whose mode changes gets a window of its new size.
#include "gwes/presenter_window.h"

#include <SDL.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "device/device.h"
#include "gwes/presenter_input.h"
#include "gwes/screen_picture.h"
#include "gwes/shared_screen.h"

namespace zb::presenter {
namespace {

constexpr Uint32 kFrameMs = 15;

void Log(const std::string& what) { device::DebugLog("presenter: " + what + ": " + SDL_GetError() + "\r\n"); }

void Send(const std::optional<input::Event>& event) {
  if (event) input::Deliver(*event);
}

struct SdlDeleter {
  void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
  void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
  void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};

// The window, sized for the screen it shows.
class View {
 public:
  bool Show(const screen::Picture& picture) {
    if (!window_ || picture.width != width_ || picture.height != height_) {
      if (!Resize(picture.width, picture.height)) return false;
    }
    SDL_UpdateTexture(texture_.get(), nullptr, picture.pixels.data(), picture.width * 4);
    SDL_RenderClear(renderer_.get());
    SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, nullptr);
    SDL_RenderPresent(renderer_.get());
    return true;
  }

  Stylus& stylus() { return *stylus_; }
  bool open() const { return window_ != nullptr; }

 private:
  bool Resize(int width, int height) {
    const int scale = ScaleFor(width, height);
    texture_.reset();
    if (!window_) {
      window_.reset(SDL_CreateWindow("Zonbrel", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * scale,
                                     height * scale, SDL_WINDOW_SHOWN));
      if (!window_) return Log("cannot open the window"), false;
      renderer_.reset(SDL_CreateRenderer(window_.get(), -1, 0));
      if (!renderer_) return Log("cannot draw in the window"), false;
    } else {
      SDL_SetWindowSize(window_.get(), width * scale, height * scale);
    }
    texture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width,
                                     height));
    if (!texture_) return Log("cannot make the screen's texture"), false;
    width_ = width;
    height_ = height;
    stylus_.emplace(width, height, scale);
    return true;
  }

  std::unique_ptr<SDL_Window, SdlDeleter> window_;
  std::unique_ptr<SDL_Renderer, SdlDeleter> renderer_;
  std::unique_ptr<SDL_Texture, SdlDeleter> texture_;
  int width_ = 0, height_ = 0;
  std::optional<Stylus> stylus_;
};

// Returns true when the screen must be drawn again.
bool Handle(const SDL_Event& e, View& view, const std::function<void()>& closeRequested) {
  if (!view.open()) return false;
  Stylus& stylus = view.stylus();
  switch (e.type) {
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.button == SDL_BUTTON_LEFT) Send(stylus.Press(e.button.x, e.button.y));
      break;
    case SDL_MOUSEMOTION:
      if (e.motion.state & SDL_BUTTON_LMASK) Send(stylus.Motion(e.motion.x, e.motion.y));
      break;
    case SDL_MOUSEBUTTONUP:
      if (e.button.button == SDL_BUTTON_LEFT) Send(stylus.Release(e.button.x, e.button.y));
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      Send(KeyEvent(e.key.keysym.sym, e.type == SDL_KEYDOWN));
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) closeRequested();
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) Send(stylus.Cancel());
      return e.window.event == SDL_WINDOWEVENT_EXPOSED;
    default:
      break;
  }
  return false;
}

// SDL for this thread's use, ended with it.
class Video {
 public:
  Video() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // SIGINT and SIGTERM belong to the device's close
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    // A small bitmap enlarged by a whole factor needs no GPU: software drawing over the
    // window's own framebuffer works the same on every host, Xvfb included.
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");  // a tap counts even when it focuses the window
    ok_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!ok_) {
      Log("no display");
      return;
    }
    // Drivers that show nothing are what SDL falls back to when no display answers.
    const std::string_view driver = SDL_GetCurrentVideoDriver();
    if (driver == "offscreen" || driver == "dummy") {
      SDL_SetError("only the \"%s\" video driver started", driver.data());
      Log("no display");
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      ok_ = false;
      return;
    }
    SDL_StopTextInput();  // the device has buttons, not a host keyboard's text
  }
  ~Video() {
    if (ok_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();  // unless sound still uses SDL
  }
  Video(const Video&) = delete;
  Video& operator=(const Video&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_ = false;
};

}  // namespace

bool Present(const std::filesystem::path& stateFolder, const std::atomic<bool>& stop,
             const std::function<void()>& closeRequested, const std::function<void(bool)>& shown) {
  Video video;
  if (!video.ok()) return shown(false), false;
  View view;
  std::shared_ptr<screen::SharedScreen> screen;
  uint32_t drawn = 0;
  bool redraw = true;
  while (!stop.load()) {
    if (!screen || screen->Stale()) {
      std::string why;
      screen = screen::SharedScreen::Open(stateFolder, why);
      redraw = true;
    }
    if (screen) {
      const uint32_t changes = screen->Changes();  // read first: drawing during the copy shows next time
      if (redraw || changes != drawn) {
        auto pixels = screen->Pixels();
        if (pixels) {
          const bool first = !view.open();
          if (!view.Show(screen::PictureOf(*pixels))) return shown(false), false;
          if (first) shown(true);
        }
        drawn = changes;
        redraw = !pixels;
      }
    }
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, kFrameMs)) {
      do {
        redraw |= Handle(e, view, closeRequested);
      } while (SDL_PollEvent(&e));
    }
  }
  return true;
}

}  // namespace zb::presenter
