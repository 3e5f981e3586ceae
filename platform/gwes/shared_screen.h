// The device's one screen, shared by every process on the device: a file in the device's state
// folder that the drawing processes map read-write and the presenter and zbdev map read-only.
// A small header gives the mode and a change counter; the pixels follow, rows top-down.
#pragma once
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "gwes/gdi_host.h"
#include "gwes/gdi_surface.h"

namespace zb::screen {

struct Header {
  uint32_t magic;
  uint32_t version;
  std::atomic<uint32_t> layout;   // bumped whenever the mode below changes; mappers map again
  std::atomic<uint32_t> changes;  // bumped after drawing; the presenter redraws when it moves
  int32_t width, height, bpp, dpi;
  int32_t stride;     // bytes a row
  uint32_t masks[3];  // 16 and 32 bits
  int32_t madeFor[4];  // width, height, bpp and dpi of the profile the screen was made for
  RGBQUAD colours[256];  // 8 bits and fewer: the colours the pixel values stand for
};

// Pixels start one page into the file.
inline constexpr size_t kPixelOffset = 4096;
static_assert(sizeof(Header) <= kPixelOffset);

// A mode the screen can have: a DIB depth, 1 to 4096 pixels a side, 1 to 1000 dpi.
bool ValidMode(const gdi::ScreenMode& mode);

class SharedScreen;

// A mapping of the screen for the GDI, with its pixels and mode as they were laid out while the
// screen was locked (another process may change the layout the moment the lock is gone).
struct Attached {
  std::shared_ptr<SharedScreen> screen;
  std::shared_ptr<gdi::Surface> pixels;
  gdi::ScreenMode mode;
};

class SharedScreen : public std::enable_shared_from_this<SharedScreen> {
 public:
  // The current device's screen, for the GDI: kept as another process left it when it was made
  // for the same profile, else made anew (black) in the profile's mode. A device folder that
  // cannot hold it gets a screen private to this process. Empty only when memory runs out.
  static Attached Attach(const gdi::ScreenMode& profileMode);
  // Gives the current device's screen another mode, cleared to black, for every process on it.
  static Attached Resize(const gdi::ScreenMode& mode, const gdi::ScreenMode& profileMode);
  // The screen of the device whose state folder is given, read-only, for readers outside the
  // GDI. Null, with the reason in `why`, when there is none or it is damaged.
  static std::shared_ptr<SharedScreen> Open(const std::filesystem::path& stateFolder, std::string& why);

  SharedScreen(uint8_t* base, size_t bytes, bool writable);
  ~SharedScreen();
  SharedScreen(const SharedScreen&) = delete;
  SharedScreen& operator=(const SharedScreen&) = delete;

  // A surface over the pixels as the header lays them out now (colours from the header); it
  // keeps this mapping alive. Null when the header no longer fits this mapping.
  std::shared_ptr<gdi::Surface> Pixels();
  // Another process gave the screen another mode since this mapping was made: map it again.
  bool Stale() const;
  uint32_t Changes() const;
  // Announces `pixels` (a surface over this mapping) to the screen's readers: a table of colours
  // that changed is copied into the header, and drawing or new colours move the change counter.
  void Publish(const gdi::Surface& pixels, bool drawn);

 private:
  struct Format;
  static Attached Share(const gdi::ScreenMode& mode, const gdi::ScreenMode& profileMode, bool keep);
  static Attached Private(const gdi::ScreenMode& mode);
  Attached Take();
  std::optional<Format> Read() const;
  void Initialise(const gdi::ScreenMode& mode, const gdi::ScreenMode& madeFor);
  Header& header() const { return *reinterpret_cast<Header*>(base_); }

  uint8_t* base_;
  size_t bytes_;
  bool writable_;
  uint32_t layout_ = 0;
};

}  // namespace zb::screen
