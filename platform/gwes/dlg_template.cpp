// Reading dialog templates (see dlg_template.h). Items start on 4-byte boundaries counted from
// the template's start; strings are 16-bit characters on 2-byte boundaries.
#include "gwes/dlg_template.h"

#include <cstring>

namespace zb::wm {
namespace {

constexpr size_t kUnknownSize = SIZE_MAX / 2;
constexpr size_t kLongestString = 4096;  // what a template string may hold when the size is unknown

class Reader {
 public:
  Reader(const BYTE* base, size_t size) : base_(base), size_(size ? size : kUnknownSize) {}
  bool U16(WORD* v) {
    if (at_ + 2 > size_) return false;
    std::memcpy(v, base_ + at_, 2);
    at_ += 2;
    return true;
  }
  bool U32(DWORD* v) {
    if (at_ + 4 > size_) return false;
    std::memcpy(v, base_ + at_, 4);
    at_ += 4;
    return true;
  }
  bool S16(short* v) {
    WORD w;
    if (!U16(&w)) return false;
    *v = static_cast<short>(w);
    return true;
  }
  bool U8(BYTE* v) {
    if (at_ + 1 > size_) return false;
    *v = base_[at_++];
    return true;
  }
  bool String(std::u16string* out) {
    out->clear();
    for (;;) {
      WORD c;
      if (!U16(&c)) return false;
      if (c == 0) return true;
      if (out->size() >= kLongestString) return false;
      out->push_back(static_cast<char16_t>(c));
    }
  }
  // A menu, class or title field.
  bool Name(TemplateName* out) {
    WORD first;
    if (!U16(&first)) return false;
    *out = TemplateName{};
    if (first == 0) return true;
    out->present = true;
    if (first == 0xFFFF) {
      out->ordinal = true;
      return U16(&out->number);
    }
    out->text.push_back(static_cast<char16_t>(first));
    std::u16string rest;
    if (!String(&rest)) return false;
    out->text += rest;
    return true;
  }
  bool Skip(size_t n) {
    if (n > size_ - at_) return false;
    at_ += n;
    return true;
  }
  void AlignTo4() { at_ = (at_ + 3) & ~size_t{3}; }
  const BYTE* Here() const { return base_ + at_; }
  size_t At() const { return at_; }

 private:
  const BYTE* base_;
  size_t size_;
  size_t at_ = 0;
};

bool ReadItem(Reader& r, bool extended, DialogItem* item) {
  r.AlignTo4();
  if (extended) {
    if (!r.U32(&item->helpId) || !r.U32(&item->exStyle) || !r.U32(&item->style)) return false;
  } else {
    if (!r.U32(&item->style) || !r.U32(&item->exStyle)) return false;
  }
  if (!r.S16(&item->x) || !r.S16(&item->y) || !r.S16(&item->cx) || !r.S16(&item->cy)) return false;
  if (extended) {
    if (!r.U32(&item->id)) return false;
  } else {
    WORD id;
    if (!r.U16(&id)) return false;
    item->id = id;
  }
  if (!r.Name(&item->klass) || !r.Name(&item->title)) return false;
  const BYTE* data = r.Here();
  WORD extra;
  if (!r.U16(&extra)) return false;
  item->data = extra ? data : nullptr;
  return r.Skip(extra);
}

}  // namespace

bool ReadDialogTemplate(const void* bytes, size_t size, DialogTemplate* out) {
  if (!bytes || !out || (size && size < sizeof(DLGTEMPLATE))) return false;
  Reader r(static_cast<const BYTE*>(bytes), size);
  DialogTemplate t;
  WORD version = 0, signature = 0;
  std::memcpy(&version, bytes, 2);
  std::memcpy(&signature, static_cast<const BYTE*>(bytes) + 2, 2);
  t.extended = version == 1 && signature == 0xFFFF;
  WORD count = 0;
  if (t.extended) {
    if (!r.U16(&version) || !r.U16(&signature) || !r.U32(&t.helpId) || !r.U32(&t.exStyle) || !r.U32(&t.style))
      return false;
  } else {
    if (!r.U32(&t.style) || !r.U32(&t.exStyle)) return false;
  }
  if (!r.U16(&count) || !r.S16(&t.x) || !r.S16(&t.y) || !r.S16(&t.cx) || !r.S16(&t.cy)) return false;
  TemplateName title;
  if (!r.Name(&t.menu) || !r.Name(&t.klass) || !r.Name(&title)) return false;
  t.caption = title.ordinal ? std::u16string() : title.text;
  if (t.style & DS_SETFONT) {
    t.hasFont = true;
    if (!r.U16(&t.pointSize)) return false;
    if (t.extended && (!r.U16(&t.weight) || !r.U8(&t.italic) || !r.U8(&t.charset))) return false;
    if (!r.String(&t.face)) return false;
  }
  t.items.resize(count);
  for (DialogItem& item : t.items) {
    if (!ReadItem(r, t.extended, &item)) return false;
  }
  t.length = r.At();
  *out = std::move(t);
  return true;
}

}  // namespace zb::wm
