// The presenter on a real X server (Xvfb, on a display number of its own choosing): the device's
// program shows its screen in a window twice its size, clicks, drags and keys sent to that
// window reach the program's window procedure as stylus and button messages at device
// coordinates, the window follows drawing by other processes, closing it closes the program,
// and zbdev's screenshot of it equals the headless rendering. The dialog of standard controls
// shows on X as its golden rendering and takes clicks and keys there.
#include <cstdlib>
#include <sstream>

#include "canvas.h"
#include "screen_support.h"

// After gtest and the device's headers: Xlib defines macros with common names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace zb::testing {
namespace {

std::string Which(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const auto candidate = std::filesystem::path(folder) / program;
    if (!folder.empty() && ::access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  return {};
}

// A private X server, ended with SIGTERM so it removes its socket and lock file.
class Xvfb {
 public:
  explicit Xvfb(const std::string& program)
      : server_(program, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}) {
    if (auto number = server_.ReadLine(30s)) display_ = ":" + *number;
  }
  ~Xvfb() { server_.Terminate(); }
  const std::string& display() const { return display_; }

 private:
  Child server_;
  std::string display_;
};

// Reads the pixels of a window on the test's X server, and closes it as a window manager would.
class XClient {
 public:
  explicit XClient(const std::string& display) : x_(XOpenDisplay(display.c_str())) {}
  ~XClient() {
    if (x_) XCloseDisplay(x_);
  }
  bool open() const { return x_ != nullptr; }

  std::optional<screen::Picture> Capture(Window window) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(x_, window, &a)) return std::nullopt;
    XImage* image = XGetImage(x_, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!image) return std::nullopt;
    screen::Picture p{a.width, a.height, {}};
    for (int y = 0; y < a.height; ++y) {
      for (int x = 0; x < a.width; ++x) p.pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
    }
    XDestroyImage(image);
    return p;
  }

  void Close(Window window) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = window;
    e.xclient.message_type = XInternAtom(x_, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(x_, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(x_, window, False, NoEventMask, &e);
    XFlush(x_);
  }

 private:
  Display* x_;
};

// Whether the window shows `device` enlarged by `scale`, pixel for pixel.
::testing::AssertionResult Shows(const screen::Picture& window, const screen::Picture& device, int scale) {
  if (window.width != device.width * scale || window.height != device.height * scale) {
    return ::testing::AssertionFailure() << "window " << window.width << "x" << window.height;
  }
  for (int y = 0; y < window.height; ++y) {
    for (int x = 0; x < window.width; ++x) {
      if (At(window, x, y) != At(device, x / scale, y / scale)) {
        return ::testing::AssertionFailure() << "differs at " << x << "," << y << ": " << std::hex << At(window, x, y)
                                             << " for " << At(device, x / scale, y / scale);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Whether the window comes to show `device` twice its size; the last difference when it does not.
::testing::AssertionResult ComesToShow(XClient& x, Window window, const screen::Picture& device) {
  std::optional<screen::Picture> shown;
  if (WaitUntil([&] {
        shown = x.Capture(window);
        return shown && Shows(*shown, device, 2);
      })) {
    return ::testing::AssertionSuccess();
  }
  return shown ? Shows(*shown, device, 2) : ::testing::AssertionFailure() << "no picture";
}

class PresenterOnX : public GdiTest {
 protected:
  void SetUp() override {
    xvfb_ = Which("Xvfb");
    xdotool_ = Which("xdotool");
    if (xvfb_.empty() || xdotool_.empty()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
    server_ = std::make_unique<Xvfb>(xvfb_);
    ASSERT_FALSE(server_->display().empty()) << "Xvfb did not start";
  }

  // The environment of the device's programs on the test's display. The private server has no
  // session bus, and SDL's input-method support would go looking for one.
  std::vector<std::string> Env(const char* choice = "sdl") const {
    return {"DISPLAY=" + server_->display(), std::string("ZONBREL_DISPLAY=") + choice, "WAYLAND_DISPLAY",
            "DBUS_SESSION_BUS_ADDRESS=disabled:"};
  }

  std::unique_ptr<Child> Present(const char* how = "present") {
    return std::make_unique<Child>(SCREEN_PROBE_PATH, std::vector<std::string>{"scene", how}, Env());
  }

  // The presenter's window: xdotool finds it by its title once it is mapped.
  std::optional<Window> FindWindow() {
    for (int tries = 0; tries < 200; ++tries) {
      Child search(xdotool_, {"search", "--onlyvisible", "--name", "^Zonbrel$"}, Env());
      if (auto line = search.ReadLine(10s); line && !line->empty()) return std::stoul(*line);
      std::this_thread::sleep_for(50ms);
    }
    return std::nullopt;
  }

  int Xdotool(std::vector<std::string> args) { return RunToEnd(xdotool_, args, Env()); }

  std::string xvfb_, xdotool_;
  std::unique_ptr<Xvfb> server_;
};

TEST_F(PresenterOnX, TheWindowShowsTheScreenAndTurnsClicksDragsAndKeysIntoDeviceInput) {
  const auto headless = device_.Host("headless.png");
  ASSERT_EQ(RunToEnd(SCREEN_PROBE_PATH, {"scene", "save", headless.string()}, Env("none")), 0);
  auto expected = ReadPng(headless);
  ASSERT_TRUE(expected);

  auto probe = Present();
  EXPECT_EQ(probe->ReadLine(), "presenting yes");
  auto window = FindWindow();
  ASSERT_TRUE(window);
  XClient x(server_->display());
  ASSERT_TRUE(x.open());
  ASSERT_TRUE(ComesToShow(x, *window, *expected));

  ASSERT_EQ(Xdotool({"mousemove", "--window", std::to_string(*window), "101", "61", "click", "1"}), 0);
  EXPECT_EQ(probe->ReadLine(), "WM_LBUTTONDOWN 50 30");
  EXPECT_EQ(probe->ReadLine(), "WM_LBUTTONUP 50 30");

  const std::string w = std::to_string(*window);
  ASSERT_EQ(Xdotool({"mousemove", "--window", w, "20", "20", "mousedown", "1", "mousemove", "--window", w, "60", "100",
                     "mouseup", "1"}),
            0);
  EXPECT_EQ(probe->ReadLine(), "WM_LBUTTONDOWN 10 10");
  EXPECT_EQ(probe->ReadLine(), "WM_MOUSEMOVE 30 50");
  EXPECT_EQ(probe->ReadLine(), "WM_LBUTTONUP 30 50");

  ASSERT_EQ(Xdotool({"key", "Return", "F1", "Escape", "Up", "a"}), 0);  // "a" is no button of the device
  for (const char* vk : {"13", "193", "27", "38"}) {
    EXPECT_EQ(probe->ReadLine(), std::string("WM_KEYDOWN ") + vk);
    EXPECT_EQ(probe->ReadLine(), std::string("WM_KEYUP ") + vk);
  }

  // zbdev reads what the window shows, and it equals the headless rendering.
  const auto shot = device_.Host("shot.png");
  ASSERT_EQ(RunToEnd(ZBDEV_PATH, {"screenshot", shot.string()}), 0);
  auto screenshot = ReadPng(shot);
  ASSERT_TRUE(screenshot);
  EXPECT_EQ(screenshot->width, expected->width);
  EXPECT_EQ(screenshot->height, expected->height);
  EXPECT_TRUE(screenshot->pixels == expected->pixels);

  // Drawing by another process of the device shows in the window.
  ASSERT_EQ(RunToEnd(SCREEN_PROBE_PATH, {"fill", "0", "0", "240", "160", "00FF00"}, Env("none")), 0);
  auto drawn = ReadPng(shot);
  for (int y = 0; y < 160; ++y) {
    for (int x = 0; x < 240; ++x) drawn->pixels[static_cast<size_t>(y) * 240 + x] = 0x00FF00;
  }
  EXPECT_TRUE(ComesToShow(x, *window, *drawn));

  EXPECT_EQ(probe->Wait(), 0);
  EXPECT_EQ(probe->ReadLine(1s), std::nullopt) << "no input after the last";
}

TEST_F(PresenterOnX, TheControlsDialogShowsAsItsGoldenAndTakesClicksAndKeys) {
  const auto golden = ReadPng(std::filesystem::path(GOLDEN_DIR) / "standard_controls.png");
  ASSERT_TRUE(golden);
  Child probe(SCREEN_PROBE_PATH, {"dialog"}, Env());
  ASSERT_EQ(probe.ReadLine(), "presenting yes");
  auto window = FindWindow();
  ASSERT_TRUE(window);
  XClient x(server_->display());
  ASSERT_TRUE(x.open());
  ASSERT_TRUE(ComesToShow(x, *window, *golden));

  // The window table is the device's: the test finds the probe's check box and clicks its middle.
  HWND dialog = ::FindWindowW(nullptr, u"Controls");
  ASSERT_NE(dialog, nullptr);
  RECT box;
  ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, 101), &box));
  const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
  ASSERT_EQ(Xdotool({"mousemove", "--window", std::to_string(*window), std::to_string(cx * 2), std::to_string(cy * 2),
                     "click", "1"}),
            0);
  EXPECT_EQ(probe.ReadLine(), "WM_COMMAND 101 0") << "the check box tells its click";
  EXPECT_EQ(SendMessageW(GetDlgItem(dialog, 101), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // What changed on the device's screen shows in the window: the tick, and the focus leaving
  // Apply for the check box, so OK is the default button again.
  const auto shot = device_.Host("clicked.png");
  ASSERT_EQ(RunToEnd(ZBDEV_PATH, {"screenshot", shot.string()}), 0);
  const auto clicked = ReadPng(shot);
  ASSERT_TRUE(clicked);
  std::vector<RECT> touched;
  for (int id : {101, 105, IDOK}) {
    RECT r;
    ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, id), &r));
    touched.push_back(r);
  }
  int ticks = 0, elsewhere = 0;
  for (int py = 0; py < golden->height; ++py) {
    for (int px = 0; px < golden->width; ++px) {
      if (At(*clicked, px, py) == At(*golden, px, py)) continue;
      const POINT p{px, py};
      if (PtInRect(&touched[0], p)) {
        ++ticks;
      } else if (!PtInRect(&touched[1], p) && !PtInRect(&touched[2], p)) {
        ++elsewhere;
      }
    }
  }
  EXPECT_GT(ticks, 0) << "the tick is gone";
  EXPECT_EQ(elsewhere, 0);
  EXPECT_TRUE(ComesToShow(x, *window, *clicked));

  // Enter goes through the dialog manager to the default button.
  ASSERT_EQ(Xdotool({"key", "Return"}), 0);
  EXPECT_EQ(probe.ReadLine(), "WM_COMMAND 1 0");
  EXPECT_EQ(probe.Wait(), 0);
}

TEST_F(PresenterOnX, ClosingTheWindowAsksTheProgramToClose) {
  XClient x(server_->display());
  ASSERT_TRUE(x.open());
  {
    auto probe = Present();
    ASSERT_EQ(probe->ReadLine(), "presenting yes");
    auto window = FindWindow();
    ASSERT_TRUE(window);
    x.Close(*window);
    EXPECT_EQ(probe->ReadLine(), "closed") << "the program's own close hook";
    EXPECT_EQ(probe->ReadLine(), "WM_CLOSE 0");
    EXPECT_EQ(probe->Wait(), 0);
  }
  auto probe = Present("present-unhooked");
  ASSERT_EQ(probe->ReadLine(), "presenting yes");
  auto window = FindWindow();
  ASSERT_TRUE(window);
  x.Close(*window);
  EXPECT_EQ(probe->ReadLine(), "WM_CLOSE 0") << "without a hook the user's close box asks the program's window";
  EXPECT_EQ(probe->Wait(), 0);
}

TEST_F(PresenterOnX, OneProcessOfTheDeviceShowsTheScreenAtATime) {
  auto first = Present();
  ASSERT_EQ(first->ReadLine(), "presenting yes");
  {
    auto second = Present();
    EXPECT_EQ(second->ReadLine(), "presenting no");
    EXPECT_EQ(second->Wait(), 0);
  }
  Child asked(SCREEN_PROBE_PATH, {"present"}, Env("none"));
  EXPECT_EQ(asked.ReadLine(), "presenting no") << "ZONBREL_DISPLAY=none keeps the device headless";
  EXPECT_EQ(asked.Wait(), 0);

  EXPECT_EQ(first->Wait(), 0);
  auto third = Present();
  EXPECT_EQ(third->ReadLine(), "presenting yes") << "the screen is free again once its presenter ended";
  EXPECT_EQ(third->Wait(), 0);
}

TEST_F(PresenterOnX, AHostWhoseDisplayDoesNotAnswerStaysHeadless) {
  std::vector<std::string> env = Env();
  env[0] = "DISPLAY=:" + std::to_string(9000 + ::getpid() % 1000);  // no server there
  Child probe(SCREEN_PROBE_PATH, {"present"}, env);
  EXPECT_EQ(probe.ReadLine(), "presenting no");
  EXPECT_EQ(probe.Wait(), 0);
  EXPECT_NE(DebugLogText(device_.root()).find("presenter: no display"), std::string::npos);
}

}  // namespace
}  // namespace zb::testing
