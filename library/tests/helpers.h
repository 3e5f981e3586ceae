// Test helpers: an owning pointer for reference-counted objects, BSTR to text, and a fixed
// clock for relative dates and two-digit years.
#pragma once
#include <string>
#include <utility>

#include "media_item.h"
#include "tag_value.h"

namespace testing_helpers {

template <typename T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* p) : p_(p) {}
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ~Ref() {
    if (p_) p_->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T** out() { return &p_; }

 private:
  T* p_ = nullptr;
};

inline std::u16string Take(BSTR text) {
  std::u16string value = text ? std::u16string(text) : std::u16string();
  SysFreeString(text);
  return value;
}

inline std::string Narrow(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

inline std::u16string TextOf(const CTagValue& v) {
  std::u16string text;
  v.ToText(&text);
  return text;
}

inline SYSTEMTIME Date(WORD y, WORD mo = 0, WORD d = 0, WORD h = 0, WORD mi = 0, WORD s = 0, WORD ms = 0) {
  return SYSTEMTIME{y, mo, 0, d, h, mi, s, ms};
}

// Installs a fixed clock for the life of the object.
class FixedClock {
 public:
  explicit FixedClock(SYSTEMTIME now) {
    Now() = now;
    SetTagClock([](SYSTEMTIME* t) { *t = Now(); });
  }
  ~FixedClock() { SetTagClock(nullptr); }
  static SYSTEMTIME& Now() {
    static SYSTEMTIME now{};
    return now;
  }
};

inline Ref<CMediaItem> NewItem(const char16_t* source = u"\\Music\\a.mp3") {
  Ref<CMediaItem> item(CreateMediaItem());
  item->SetSource(source);
  return item;
}

}  // namespace testing_helpers
