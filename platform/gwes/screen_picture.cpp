// Turning a surface of any layout into a picture, and a picture into a PNG file.
#include "gwes/screen_picture.h"

#include <png.h>

namespace zb::screen {

Picture PictureOf(const gdi::Surface& s) {
  Picture p{s.width, s.height, std::vector<uint32_t>(static_cast<size_t>(s.width) * s.height)};
  std::vector<uint32_t> row(s.width);
  for (int y = 0; y < s.height; ++y) {
    s.ReadRow(y, 0, s.width, row.data());
    uint32_t* out = p.pixels.data() + static_cast<size_t>(y) * s.width;
    for (int x = 0; x < s.width; ++x) {
      const COLORREF c = s.ToRgb(row[x]);
      out[x] = (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c);
    }
  }
  return p;
}

bool WritePng(const Picture& picture, const std::filesystem::path& path) {
  if (picture.width <= 0 || picture.height <= 0) return false;
  std::vector<uint8_t> rgb(picture.pixels.size() * 3);
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    rgb[3 * i] = static_cast<uint8_t>(picture.pixels[i] >> 16);
    rgb[3 * i + 1] = static_cast<uint8_t>(picture.pixels[i] >> 8);
    rgb[3 * i + 2] = static_cast<uint8_t>(picture.pixels[i]);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = PNG_FORMAT_RGB;
  const bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

}  // namespace zb::screen
