// Pixel access and colour conversion for every bitmap layout. Channels narrower than 8 bits
// widen by repeating their top bits, so white stays white and a value survives the round trip.
#include "gwes/gdi_surface.h"

#include <bit>
#include <cstring>
#include <limits>

namespace zb::gdi {
namespace {

constexpr int kMaxSide = 32767;
constexpr size_t kMaxBytes = size_t{256} << 20;

Channel MakeChannel(uint32_t mask) {
  Channel c;
  c.mask = mask;
  if (mask) {
    c.shift = std::countr_zero(mask);
    c.bits = std::popcount(mask);
  }
  return c;
}

uint8_t Widen(uint32_t value, int bits) {
  if (bits <= 0) return 0;
  if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
  uint32_t out = value << (8 - bits);
  for (int have = bits; have < 8; have += bits) out |= out >> bits;
  return static_cast<uint8_t>(out);
}

uint32_t Narrow(uint8_t value, const Channel& c) {
  if (c.bits <= 0) return 0;
  uint32_t v = c.bits >= 8 ? static_cast<uint32_t>(value) << (c.bits - 8) : value >> (8 - c.bits);
  return (v << c.shift) & c.mask;
}

std::vector<RGBQUAD> GreyRamp(int bpp) {
  int n = 1 << bpp;
  std::vector<RGBQUAD> table(n);
  for (int i = 0; i < n; ++i) {
    BYTE v = static_cast<BYTE>(i * 255 / (n - 1));
    table[i] = RGBQUAD{v, v, v, 0};
  }
  return table;
}

}  // namespace

// Everything but the pixels: size, depth, colour table or channel masks. Null when out of range.
std::shared_ptr<Surface> Surface::Layout(int width, int height, int bpp, bool topDown, const uint32_t* masks,
                                         std::vector<RGBQUAD> colours, bool mono) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return nullptr;
  size_t stride = StrideFor(width, bpp);
  if (stride * height > kMaxBytes) return nullptr;
  auto s = std::make_shared<Surface>();
  s->width = width;
  s->height = height;
  s->bpp = bpp;
  s->stride = static_cast<int>(stride);
  s->topDown = topDown;
  s->mono = mono && bpp == 1;
  if (bpp <= 8) {
    if (s->mono) colours = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    if (colours.empty()) colours = GreyRamp(bpp);
    colours.resize(size_t{1} << bpp, RGBQUAD{0, 0, 0, 0});
    s->colours_ = std::move(colours);
  } else if (bpp == 24) {
    masks = kMasks888;
  } else if (!masks || (masks[0] | masks[1] | masks[2]) == 0) {
    masks = bpp == 16 ? kMasks555 : kMasks888;
  }
  if (bpp > 8) {
    for (int i = 0; i < 3; ++i) s->channel_[i] = MakeChannel(masks[i]);
  }
  return s;
}

std::shared_ptr<Surface> Surface::Create(int width, int height, int bpp, bool topDown, const uint32_t* masks,
                                         std::vector<RGBQUAD> colours, bool mono) {
  auto s = Layout(width, height, bpp, topDown, masks, std::move(colours), mono);
  if (!s) return nullptr;
  try {
    s->storage_.assign(s->SizeBytes(), 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  s->bits = s->storage_.data();
  return s;
}

std::shared_ptr<Surface> Surface::CreateOver(uint8_t* bits, std::shared_ptr<void> owner, int width, int height,
                                             int bpp, const uint32_t* masks, std::vector<RGBQUAD> colours) {
  if (!bits) return nullptr;
  auto s = Layout(width, height, bpp, true, masks, std::move(colours), false);
  if (!s) return nullptr;
  s->bits = bits;
  s->owner_ = std::move(owner);
  return s;
}

std::shared_ptr<Surface> Surface::Clone() const {
  const uint32_t masks[3] = {channel_[0].mask, channel_[1].mask, channel_[2].mask};
  auto copy = Create(width, height, bpp, topDown, masks, colours_, mono);
  if (copy) std::memcpy(copy->bits, bits, SizeBytes());
  return copy;
}

uint32_t Surface::Get(int x, int y) const {
  uint32_t v;
  ReadRow(y, x, 1, &v);
  return v;
}

void Surface::Set(int x, int y, uint32_t value) { WriteRow(y, x, 1, &value); }

void Surface::ReadRow(int y, int x, int n, uint32_t* out) const {
  const uint8_t* row = Row(y);
  switch (bpp) {
    case 1:
      for (int i = 0; i < n; ++i) {
        const int px = x + i;
        out[i] = (row[px >> 3] >> (7 - (px & 7))) & 1;
      }
      break;
    case 2:
    case 4: {
      const int perByte = 8 / bpp;
      const uint32_t mask = ValueMask();
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        int shift = 8 - bpp - (px % perByte) * bpp;
        out[i] = (row[px / perByte] >> shift) & mask;
      }
      break;
    }
    case 8:
      for (int i = 0; i < n; ++i) out[i] = row[x + i];
      break;
    case 16: {
      const uint8_t* p = row + 2 * x;
      for (int i = 0; i < n; ++i, p += 2) out[i] = p[0] | (p[1] << 8);
      break;
    }
    case 24: {
      const uint8_t* p = row + 3 * x;
      for (int i = 0; i < n; ++i, p += 3) out[i] = p[0] | (p[1] << 8) | (p[2] << 16);
      break;
    }
    default: {
      std::memcpy(out, row + 4 * x, 4 * static_cast<size_t>(n));
      break;
    }
  }
}

void Surface::WriteRow(int y, int x, int n, const uint32_t* in) {
  uint8_t* row = Row(y);
  switch (bpp) {
    case 1:
    case 2:
    case 4: {
      const int perByte = 8 / bpp;
      const uint32_t mask = ValueMask();
      for (int i = 0; i < n; ++i) {
        int px = x + i;
        int shift = 8 - bpp - (px % perByte) * bpp;
        uint8_t& b = row[px / perByte];
        b = static_cast<uint8_t>((b & ~(mask << shift)) | ((in[i] & mask) << shift));
      }
      break;
    }
    case 8:
      for (int i = 0; i < n; ++i) row[x + i] = static_cast<uint8_t>(in[i]);
      break;
    case 16: {
      uint8_t* p = row + 2 * x;
      for (int i = 0; i < n; ++i, p += 2) {
        p[0] = static_cast<uint8_t>(in[i]);
        p[1] = static_cast<uint8_t>(in[i] >> 8);
      }
      break;
    }
    case 24: {
      uint8_t* p = row + 3 * x;
      for (int i = 0; i < n; ++i, p += 3) {
        p[0] = static_cast<uint8_t>(in[i]);
        p[1] = static_cast<uint8_t>(in[i] >> 8);
        p[2] = static_cast<uint8_t>(in[i] >> 16);
      }
      break;
    }
    default:
      std::memcpy(row + 4 * x, in, 4 * static_cast<size_t>(n));
      break;
  }
}

COLORREF Surface::ToRgb(uint32_t value) const {
  if (Palettized()) {
    const RGBQUAD& q = colours_[value & ValueMask()];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
  }
  auto part = [&](const Channel& c) { return Widen((value & c.mask) >> c.shift, c.bits); };
  return RGB(part(channel_[0]), part(channel_[1]), part(channel_[2]));
}

uint32_t Surface::FromRgb(COLORREF colour) const {
  if (Palettized()) return Nearest(colour);
  return Narrow(GetRValue(colour), channel_[0]) | Narrow(GetGValue(colour), channel_[1]) |
         Narrow(GetBValue(colour), channel_[2]);
}

uint32_t Surface::Nearest(COLORREF colour) const {
  const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
  for (size_t i = 0; i < colours_.size(); ++i) {
    const RGBQUAD& q = colours_[i];
    if (q.rgbRed == r && q.rgbGreen == g && q.rgbBlue == b) return static_cast<uint32_t>(i);
  }
  if (nearest_.empty()) nearest_.assign(32768, -1);
  const int key = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
  if (nearest_[key] >= 0) return static_cast<uint32_t>(nearest_[key]);
  int best = 0;
  long bestDistance = std::numeric_limits<long>::max();
  for (size_t i = 0; i < colours_.size(); ++i) {
    const RGBQUAD& q = colours_[i];
    long dr = q.rgbRed - r, dg = q.rgbGreen - g, db = q.rgbBlue - b;
    long d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
    }
  }
  nearest_[key] = static_cast<int16_t>(best);
  return static_cast<uint32_t>(best);
}

bool Surface::SameLayout(const Surface& other) const {
  if (bpp != other.bpp || mono != other.mono) return false;
  if (Palettized()) {
    return colours_.size() == other.colours_.size() &&
           std::memcmp(colours_.data(), other.colours_.data(), colours_.size() * sizeof(RGBQUAD)) == 0;
  }
  for (int i = 0; i < 3; ++i) {
    if (channel_[i].mask != other.channel_[i].mask) return false;
  }
  return true;
}

void Surface::SetColours(std::vector<RGBQUAD> colours) {
  if (!Palettized()) return;
  colours.resize(size_t{1} << bpp, RGBQUAD{0, 0, 0, 0});
  colours_ = std::move(colours);
  nearest_.clear();
}

}  // namespace zb::gdi
