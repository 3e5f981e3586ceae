// JPEG through libjpeg-turbo. Its errors leave by longjmp, so the decode runs in a function
// that holds no objects with destructors; a file that ends early counts as an error here,
// where the library alone would fill the rest with grey and call it done.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <jerror.h>

#include "imgdecmp/image_decoder.h"

namespace zb::imgdecmp {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  jmp_buf escape;
};

void Fail(j_common_ptr info) { longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1); }

void Message(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) Fail(info);  // truncated data
}

void Quiet(j_common_ptr) {}

// Returns false on any error; out.rgba is sized before decoding starts.
bool Start(jpeg_decompress_struct* info, const uint8_t* data, size_t size, RgbaImage& out) {
  jpeg_mem_src(info, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(info, TRUE) != JPEG_HEADER_OK) return false;
  if (!SizeAllowed(info->image_width, info->image_height)) return false;
  const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
  info->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(info);
  const int components = info->output_components;
  if ((cmyk && components != 4) || (!cmyk && components != 3)) return false;
  out.width = static_cast<int>(info->output_width);
  out.height = static_cast<int>(info->output_height);
  out.rgba.assign(static_cast<size_t>(out.width) * out.height * 4, 255);
  return true;
}

}  // namespace

bool DecodeJpeg(std::span<const uint8_t> data, RgbaImage& out) {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = Fail;
  errors.base.emit_message = Message;
  errors.base.output_message = Quiet;
  // Filled in the protected part; kept outside it so a longjmp cannot skip their release.
  JSAMPLE* volatile line = nullptr;
  volatile bool ok = false;
  if (setjmp(errors.escape) == 0) {
    jpeg_create_decompress(&info);
    if (Start(&info, data.data(), data.size(), out)) {
      const int components = info.output_components;
      line = static_cast<JSAMPLE*>(std::malloc(static_cast<size_t>(out.width) * components));
      if (line) {
        const bool cmyk = components == 4;
        while (info.output_scanline < info.output_height) {
          JSAMPLE* rows[1] = {line};
          const JDIMENSION y = info.output_scanline;
          if (jpeg_read_scanlines(&info, rows, 1) != 1) break;
          uint8_t* dst = out.rgba.data() + static_cast<size_t>(y) * out.width * 4;
          for (int x = 0; x < out.width; ++x, dst += 4) {
            const JSAMPLE* p = line + x * components;
            if (cmyk) {
              // Adobe files store CMYK inverted: each byte is already 255 - ink.
              dst[0] = static_cast<uint8_t>(p[0] * p[3] / 255);
              dst[1] = static_cast<uint8_t>(p[1] * p[3] / 255);
              dst[2] = static_cast<uint8_t>(p[2] * p[3] / 255);
            } else {
              dst[0] = p[0];
              dst[1] = p[1];
              dst[2] = p[2];
            }
          }
        }
        if (info.output_scanline == info.output_height) {
          jpeg_finish_decompress(&info);
          ok = true;
        }
      }
    }
  }
  std::free(line);
  jpeg_destroy_decompress(&info);
  out.transparent = false;
  return ok;
}

}  // namespace zb::imgdecmp
