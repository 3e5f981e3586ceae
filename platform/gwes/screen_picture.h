// A picture of the screen in plain 0x00RRGGBB pixels, whatever the screen's depth: what the
// presenter uploads to its window and what screenshots write as PNG.
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

#include "gwes/gdi_surface.h"

namespace zb::screen {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // rows top-down, 0x00RRGGBB
};

Picture PictureOf(const gdi::Surface& surface);

// Writes a 24-bit PNG. False when the file cannot be written.
bool WritePng(const Picture& picture, const std::filesystem::path& path);

}  // namespace zb::screen
