// Dialog templates built byte by byte in memory, in the layouts the resource compiler writes:
// for the dialog tests and for the device programs that show the same dialogs.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace dtest {

// A DLGTEMPLATE (or DLGTEMPLATEEX) written field by field.
class Template {
 public:
  Template& W(uint16_t v) { return Raw(&v, 2); }
  Template& D(uint32_t v) { return Raw(&v, 4); }
  Template& S(std::u16string_view s) {
    for (char16_t c : s) W(static_cast<uint16_t>(c));
    return W(0);
  }
  Template& A4() {
    while (bytes_.size() % 4) bytes_.push_back(0);
    return *this;
  }
  Template& Raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    bytes_.insert(bytes_.end(), b, b + n);
    return *this;
  }

  // The header of a plain template: no menu, the default class, a caption and a font.
  static Template Dialog(DWORD style, short x, short y, short cx, short cy, std::u16string_view caption,
                         uint16_t count, uint16_t pointSize = 8, std::u16string_view face = u"System") {
    Template t;
    t.D(style | (face.empty() ? 0 : DS_SETFONT)).D(0).W(count).W(x).W(y).W(cx).W(cy).W(0).W(0).S(caption);
    if (!face.empty()) t.W(pointSize).S(face);
    return t;
  }
  // One item of a plain template, its class a predefined ordinal (0x80..0x85) or a name.
  Template& Item(DWORD style, short x, short y, short cx, short cy, uint16_t id, uint16_t atom, std::u16string_view title,
                 std::u16string_view className = u"") {
    A4().D(style | WS_CHILD | WS_VISIBLE).D(0).W(x).W(y).W(cx).W(cy).W(id);
    if (atom) {
      W(0xFFFF).W(atom);
    } else {
      S(className);
    }
    return S(title).W(0);
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

inline constexpr uint16_t kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kScrollBar = 0x84,
                          kComboBox = 0x85;

}  // namespace dtest
