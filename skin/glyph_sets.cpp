// The four glyph sets of alpha fonts. Strips are drawn in set order, so these strings are the
// map from a character to its glyph.
#include "skin/ui_cache.h"

namespace {

#define ZB_GLYPH_SIGNS u"!@#$%^&*()_+-=[]{};':\",./<>?\\|`~"

constexpr const char16_t* kSets[] = {
    u" ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789" ZB_GLYPH_SIGNS,
    u" ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789" ZB_GLYPH_SIGNS,
    u" 0123456789-:",
    u" 0123456789-:'\"",
};
constexpr int kLengths[] = {69, 95, 13, 15};

#undef ZB_GLYPH_SIGNS

static_assert(std::char_traits<char16_t>::length(kSets[0]) == 69 && std::char_traits<char16_t>::length(kSets[1]) == 95 &&
              std::char_traits<char16_t>::length(kSets[2]) == 13 && std::char_traits<char16_t>::length(kSets[3]) == 15);

}  // namespace

LPCWSTR GetAlphaGlyphSet(int index) { return index >= 0 && index < 4 ? kSets[index] : nullptr; }

int GetAlphaGlyphSetLength(int index) { return index >= 0 && index < 4 ? kLengths[index] : 0; }
