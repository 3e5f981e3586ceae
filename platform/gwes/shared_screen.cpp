// Mapping the device's screen file. Whoever changes its mode does so under an exclusive flock
// and never shrinks the file, so a process still drawing through an older mapping stays inside
// it; readers take the lock shared and check every header field against what they mapped.
#include "gwes/shared_screen.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "device/device.h"

namespace zb::screen {

struct SharedScreen::Format {
  gdi::ScreenMode mode;
  uint32_t masks[3];
};

namespace {

constexpr uint32_t kMagic = 0x4353425a;  // "ZBSC"
constexpr uint32_t kVersion = 1;
constexpr const char* kFileName = "screen-v1.map";

// Another process may be writing the header: each field is read once, then checked.
template <class T>
T Once(const T& field) {
  return *static_cast<const volatile T*>(&field);
}

size_t PixelBytes(const gdi::ScreenMode& m) { return gdi::Surface::StrideFor(m.width, m.bpp) * m.height; }

bool MadeFor(const Header& h, const gdi::ScreenMode& m) {
  return Once(h.madeFor[0]) == m.width && Once(h.madeFor[1]) == m.height && Once(h.madeFor[2]) == m.bpp &&
         Once(h.madeFor[3]) == m.dpi;
}

class FileLock {
 public:
  FileLock(int fd, int op) : fd_(fd) { ::flock(fd_, op); }
  ~FileLock() { ::flock(fd_, LOCK_UN); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_;
};

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);  // a mapping keeps the file
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

std::shared_ptr<SharedScreen> MapFd(int fd, size_t bytes, bool writable) {
  void* p = ::mmap(nullptr, bytes, writable ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED, fd, 0);
  if (p == MAP_FAILED) return nullptr;
  return std::make_shared<SharedScreen>(static_cast<uint8_t*>(p), bytes, writable);
}

size_t FileSize(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 ? static_cast<size_t>(st.st_size) : 0;
}

}  // namespace

bool ValidMode(const gdi::ScreenMode& m) {
  const bool depth = m.bpp == 1 || m.bpp == 2 || m.bpp == 4 || m.bpp == 8 || m.bpp == 16 || m.bpp == 24 || m.bpp == 32;
  return depth && m.width > 0 && m.height > 0 && m.width <= 4096 && m.height <= 4096 && m.dpi > 0 && m.dpi <= 1000;
}

SharedScreen::SharedScreen(uint8_t* base, size_t bytes, bool writable)
    : base_(base), bytes_(bytes), writable_(writable) {}

SharedScreen::~SharedScreen() { ::munmap(base_, bytes_); }

// A shared screen only when the state folder can hold it.
Attached SharedScreen::Share(const gdi::ScreenMode& mode, const gdi::ScreenMode& profileMode, bool keep) {
  Fd fd(::open((device::StateFolder() / kFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (fd.get() < 0) return {};
  FileLock lock(fd.get(), LOCK_EX);
  const size_t size = FileSize(fd.get());
  std::shared_ptr<SharedScreen> screen;
  if (size >= kPixelOffset) screen = MapFd(fd.get(), size, true);
  if (keep && screen && screen->Read() && MadeFor(screen->header(), profileMode)) {
    screen->layout_ = screen->header().layout.load(std::memory_order_acquire);
    return screen->Take();
  }
  const size_t needed = kPixelOffset + PixelBytes(mode);
  if (!screen || size < needed) {
    screen.reset();
    if (size < needed && ::ftruncate(fd.get(), static_cast<off_t>(needed)) != 0) return {};
    screen = MapFd(fd.get(), std::max(size, needed), true);
    if (!screen) return {};
  }
  screen->Initialise(mode, profileMode);
  return screen->Take();
}

Attached SharedScreen::Private(const gdi::ScreenMode& mode) {
  const size_t bytes = kPixelOffset + PixelBytes(mode);
  void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return {};
  device::DebugLog("gwes: cannot share the device's screen; it stays in this process\r\n");
  auto screen = std::make_shared<SharedScreen>(static_cast<uint8_t*>(p), bytes, true);
  screen->Initialise(mode, mode);
  return screen->Take();
}

Attached SharedScreen::Attach(const gdi::ScreenMode& profileMode) {
  Attached a = Share(profileMode, profileMode, true);
  return a.pixels ? a : Private(profileMode);
}

Attached SharedScreen::Resize(const gdi::ScreenMode& mode, const gdi::ScreenMode& profileMode) {
  Attached a = Share(mode, profileMode, false);
  return a.pixels ? a : Private(mode);
}

// Called with the screen locked (or private), so the header is whole and stays put meanwhile.
Attached SharedScreen::Take() {
  auto f = Read();
  if (!f) return {};
  return Attached{shared_from_this(), Pixels(), f->mode};
}

std::shared_ptr<SharedScreen> SharedScreen::Open(const std::filesystem::path& stateFolder, std::string& why) {
  const auto path = stateFolder / kFileName;
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    why = errno == ENOENT ? "the device has no screen yet (nothing on it has drawn)"
                          : "cannot open " + path.string() + ": " + std::strerror(errno);
    return nullptr;
  }
  FileLock lock(fd.get(), LOCK_SH);
  const size_t size = FileSize(fd.get());
  auto screen = size >= kPixelOffset ? MapFd(fd.get(), size, false) : nullptr;
  if (screen) screen->layout_ = screen->header().layout.load(std::memory_order_acquire);
  if (!screen || !screen->Read()) {
    why = "the device's screen file is damaged: " + path.string();
    return nullptr;
  }
  return screen;
}

std::optional<SharedScreen::Format> SharedScreen::Read() const {
  const Header& h = header();
  if (Once(h.magic) != kMagic || Once(h.version) != kVersion) return std::nullopt;
  Format f{{Once(h.width), Once(h.height), Once(h.bpp), Once(h.dpi)}, {Once(h.masks[0]), Once(h.masks[1]), Once(h.masks[2])}};
  const int32_t stride = Once(h.stride);
  if (!ValidMode(f.mode)) return std::nullopt;
  if (static_cast<size_t>(stride) != gdi::Surface::StrideFor(f.mode.width, f.mode.bpp)) return std::nullopt;
  if (kPixelOffset + PixelBytes(f.mode) > bytes_) return std::nullopt;
  if (f.mode.bpp == 16 && ((f.masks[0] | f.masks[1] | f.masks[2]) >> 16) != 0) return std::nullopt;
  return f;
}

void SharedScreen::Initialise(const gdi::ScreenMode& mode, const gdi::ScreenMode& madeFor) {
  Header& h = header();
  h.magic = 0;  // damaged until whole
  h.version = kVersion;
  h.width = mode.width;
  h.height = mode.height;
  h.bpp = mode.bpp;
  h.dpi = mode.dpi;
  h.stride = static_cast<int32_t>(gdi::Surface::StrideFor(mode.width, mode.bpp));
  const uint32_t* masks = mode.bpp == 16 ? gdi::kMasks565 : mode.bpp == 32 ? gdi::kMasks888 : nullptr;
  for (int i = 0; i < 3; ++i) h.masks[i] = masks ? masks[i] : 0;
  const int32_t made[4] = {madeFor.width, madeFor.height, madeFor.bpp, madeFor.dpi};
  std::memcpy(h.madeFor, made, sizeof made);
  std::memset(h.colours, 0, sizeof h.colours);
  std::memset(base_ + kPixelOffset, 0, PixelBytes(mode));
  h.magic = kMagic;
  layout_ = h.layout.fetch_add(1, std::memory_order_acq_rel) + 1;
  h.changes.fetch_add(1, std::memory_order_release);
}

std::shared_ptr<gdi::Surface> SharedScreen::Pixels() {
  auto f = Read();
  if (!f) return nullptr;
  std::vector<RGBQUAD> colours;
  if (f->mode.bpp <= 8) {
    colours.resize(size_t{1} << f->mode.bpp);
    for (size_t i = 0; i < colours.size(); ++i) {
      const RGBQUAD& c = header().colours[i];
      colours[i] = RGBQUAD{Once(c.rgbBlue), Once(c.rgbGreen), Once(c.rgbRed), 0};
    }
  }
  // A read-only mapping hands out a surface that its readers only read.
  return gdi::Surface::CreateOver(base_ + kPixelOffset, shared_from_this(), f->mode.width, f->mode.height,
                                  f->mode.bpp, f->masks, std::move(colours));
}

bool SharedScreen::Stale() const { return header().layout.load(std::memory_order_acquire) != layout_; }

uint32_t SharedScreen::Changes() const { return header().changes.load(std::memory_order_acquire); }

void SharedScreen::Publish(const gdi::Surface& pixels, bool drawn) {
  if (!writable_) return;
  Header& h = header();
  bool recoloured = false;
  if (pixels.Palettized()) {
    const auto& colours = pixels.Colours();
    const size_t bytes = std::min(colours.size(), std::size(h.colours)) * sizeof(RGBQUAD);
    recoloured = std::memcmp(h.colours, colours.data(), bytes) != 0;
    if (recoloured) std::memcpy(h.colours, colours.data(), bytes);
  }
  if (drawn || recoloured) h.changes.fetch_add(1, std::memory_order_release);
}

}  // namespace zb::screen
