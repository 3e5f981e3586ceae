// The screen bitmap inside the GDI: display DCs draw into it, compatible bitmaps copy its layout.
#pragma once
#include "gwes/gdi_bitmap.h"
#include "gwes/gdi_host.h"

namespace zb::gdi {

// The current device's screen, made on first use and again after the device changes.
std::shared_ptr<Bitmap> ScreenBitmap();
int ScreenDpi();

}  // namespace zb::gdi
