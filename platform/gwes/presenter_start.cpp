// Which process shows the device's screen: the first of the device's processes that makes a
// top-level window while a display is wanted. It holds an flock on the device's presenter.lock
// for as long as it shows the screen; the lock goes with the process, however it ends.
#include "gwes/presenter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <future>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include "device/device.h"
#include "gwes/close_request.h"
#include "gwes/gdi_host.h"
#include "gwes/presenter_window.h"

namespace zb::presenter {
namespace {

struct Presenter {
  std::mutex lock;  // starting and stopping
  std::thread thread;
  std::atomic<bool> stop{false};
  std::atomic<bool> running{false};
  std::atomic<bool> failed{false};  // the host has no working display: this process stays headless
  unsigned generation = 0;          // of the device shown
  std::mutex closeLock;
  std::function<void()> onClose;
};

Presenter& State() {
  static Presenter* p = new Presenter;  // the thread may outlive static destructors
  return *p;
}

bool Set(const char* value) { return value && *value; }

void CloseRequested() {
  Presenter& p = State();
  std::function<void()> callback;
  {
    std::lock_guard guard(p.closeLock);
    callback = p.onClose;
  }
  if (callback) {
    callback();
  } else if (!wm::CloseProgram(wm::CloseKind::kUser)) {  // the screen window's close box is the user's
    ::kill(::getpid(), SIGTERM);  // no window left to close: closed as from outside
  }
}

void Run(std::filesystem::path stateFolder, int deviceLock, std::shared_ptr<std::promise<bool>> started) {
  Presenter& p = State();
  bool told = false;
  auto shown = [&](bool ok) {
    if (told) return;
    told = true;
    if (!ok) p.failed = true;  // before the caller hears of it, so that asking again answers the same
    started->set_value(ok);
  };
  const bool ok = Present(stateFolder, p.stop, CloseRequested, shown);
  shown(ok);  // stopped before the window showed anything
  ::close(deviceLock);  // another process may show the screen now
  if (!ok) p.failed = true;
  p.running = false;
}

}  // namespace

bool DisplayWanted(const char* zonbrelDisplay, const char* display, const char* waylandDisplay) {
  const std::string_view choice = zonbrelDisplay ? zonbrelDisplay : "";
  if (choice == "none") return false;
  if (choice == "sdl") return true;
  return Set(display) || Set(waylandDisplay);
}

bool DisplayWanted() {
  return DisplayWanted(std::getenv("ZONBREL_DISPLAY"), std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
}

bool StartIfWanted() {
  if (!DisplayWanted()) return false;
  Presenter& p = State();
  std::lock_guard guard(p.lock);
  if (p.failed) return false;
  if (p.running && p.generation == device::Generation()) return true;
  if (p.thread.joinable()) {  // ended by Stop, or showing a device this process has left
    p.stop = true;
    p.thread.join();
  }
  p.generation = device::Generation();
  const auto folder = device::StateFolder();
  const int fd = ::open((folder / "presenter.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;  // another process of the device shows the screen
  }
  gdi::CurrentScreenMode();  // the screen exists before the presenter looks for it
  p.stop = false;
  p.running = true;
  auto started = std::make_shared<std::promise<bool>>();
  auto shown = started->get_future();
  p.thread = std::thread(Run, folder, fd, started);
  static std::once_flag atExit;
  std::call_once(atExit, [] { std::atexit(Stop); });
  // A display that answers slowly still gets its window; the caller does not wait for it.
  if (shown.wait_for(std::chrono::seconds(10)) != std::future_status::ready) return true;
  return shown.get();
}

void Stop() {
  Presenter& p = State();
  std::lock_guard guard(p.lock);
  p.stop = true;
  if (p.thread.get_id() == std::this_thread::get_id()) return;  // asked from its own close: it ends by itself
  if (p.thread.joinable()) p.thread.join();
}

void OnCloseRequested(std::function<void()> callback) {
  Presenter& p = State();
  std::lock_guard guard(p.closeLock);
  p.onClose = std::move(callback);
}

}  // namespace zb::presenter
