// PNG through libpng's simplified reader, which reports every failure (truncation, bad CRCs,
// hostile chunk sizes) as a return value rather than by jumping out.
#include <png.h>

#include "imgdecmp/image_decoder.h"

namespace zb::imgdecmp {

bool DecodePng(std::span<const uint8_t> data, RgbaImage& out) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return false;
  if (!SizeAllowed(image.width, image.height)) {
    png_image_free(&image);
    return false;
  }
  const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_RGBA;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.rgba.assign(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  out.transparent = alpha && AnyTransparent(out.rgba);
  return true;
}

}  // namespace zb::imgdecmp
