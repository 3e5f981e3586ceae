// swscanf with the device's rules: white space in the format matches any run of it (or none),
// other characters must match exactly, %s %c %[ are wide unless marked h (%S %C narrow), l is
// 32-bit for integers and double for %lf. The result counts assigned fields, or is EOF when the
// input ends before the first conversion.
#include <windows.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "coredll/codepage.h"
#include "coredll/wcrt_args.h"
#include "coredll/wcrt_number.h"

namespace {

using zb::ArgSize;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The text of a decimal floating-point number at s (sign, digits, point, exponent), in ASCII;
// empty when there is none.
std::string FloatText(const char16_t* s, size_t limit) {
  std::string text;
  size_t i = 0, digits = 0;
  auto takeDigits = [&] {
    for (; i < limit && IsDigit(s[i]); ++i, ++digits) text += static_cast<char>(s[i]);
  };
  if (i < limit && (s[i] == u'+' || s[i] == u'-')) text += static_cast<char>(s[i++]);
  takeDigits();
  if (i < limit && s[i] == u'.') {
    text += '.';
    ++i;
    takeDigits();
  }
  if (digits == 0) return {};
  if (i < limit && (s[i] == u'e' || s[i] == u'E')) {
    size_t j = i + 1;
    if (j < limit && (s[j] == u'+' || s[j] == u'-')) ++j;
    if (j < limit && IsDigit(s[j])) {
      for (; i < j; ++i) text += static_cast<char>(s[i]);
      takeDigits();
    }
  }
  return text;
}

double ToDouble(const std::string& text) {
  const char* first = text.data() + (text[0] == '+' ? 1 : 0);
  double v = 0;
  auto r = std::from_chars(first, text.data() + text.size(), v);
  // Out of range: let strtod pick infinity or zero with the right sign.
  return r.ec == std::errc() ? v : std::strtod(text.c_str(), nullptr);
}

// A scanset as written between '[' and ']': "^" negates, a leading ']' is a member, "a-z" a range.
class ScanSet {
 public:
  // f points after '['; on return it points after ']' (or is null when the set is not closed).
  explicit ScanSet(const char16_t*& f) {
    negate_ = *f == u'^';
    if (negate_) ++f;
    const char16_t* first = f;
    if (*f == u']') ++f;
    while (*f && *f != u']') ++f;
    members_ = {first, static_cast<size_t>(f - first)};
    f = *f ? f + 1 : nullptr;
  }

  bool Contains(char16_t c) const {
    bool found = false;
    for (size_t i = 0; i < members_.size() && !found; ++i) {
      if (i + 2 < members_.size() && members_[i + 1] == u'-') {
        found = c >= members_[i] && c <= members_[i + 2];
        i += 2;
      } else {
        found = c == members_[i];
      }
    }
    return found != negate_;
  }

 private:
  bool negate_ = false;
  std::u16string_view members_;
};

class Scanner {
 public:
  Scanner(const char16_t* input, va_list args) : start_(input), in_(input), args_(args) {}

  int Run(const char16_t* f) {
    while (*f) {
      if (iswspace(*f)) {
        while (iswspace(*f)) ++f;
        SkipSpace();
        continue;
      }
      if (*f != u'%' || f[1] == u'%') {
        char16_t want = *f;
        f += want == u'%' ? 2 : 1;
        if (want == u'%') SkipSpace();
        if (!*in_) return Ended();
        if (*in_ != want) return assigned_;
        ++in_;
        continue;
      }
      Step step = Directive(f);
      if (step == Step::kInputEnded) return Ended();
      if (step == Step::kMismatch) return assigned_;
    }
    return assigned_;
  }

 private:
  enum class Step { kDone, kInputEnded, kMismatch };

  int Ended() const { return conversions_ == 0 ? EOF : assigned_; }

  void SkipSpace() {
    while (iswspace(*in_)) ++in_;
  }

  Step Directive(const char16_t*& f) {
    ++f;
    bool suppress = *f == u'*';
    if (suppress) ++f;
    size_t width = 0;
    for (; IsDigit(*f); ++f) width = width > SIZE_MAX / 20 ? width : width * 10 + (*f - u'0');
    ArgSize size;
    f = zb::ReadArgSize(f, size);
    char16_t conv = *f;
    if (!conv) return Step::kMismatch;
    ++f;
    size_t limit = width ? width : SIZE_MAX;
    if (conv == u'n') {
      if (!suppress) StoreInteger(size, static_cast<uint64_t>(in_ - start_));
      return Step::kDone;
    }
    if (conv != u'c' && conv != u'C' && conv != u'[') SkipSpace();
    if (!*in_) return Step::kInputEnded;
    size_t taken = 0;
    switch (conv) {
      case u'c':
      case u'C': {
        size_t count = width ? width : 1;
        if (wcsnlen(in_, count) < count) return Step::kInputEnded;
        if (!suppress) StoreText(zb::IsWideConversion(conv, size), {in_, count}, false);
        taken = count;
        break;
      }
      case u's':
      case u'S':
        while (taken < limit && in_[taken] && !iswspace(in_[taken])) ++taken;
        if (!suppress) StoreText(zb::IsWideConversion(conv, size), {in_, taken}, true);
        break;
      case u'[': {
        ScanSet set(f);
        if (!f) return Step::kMismatch;
        while (taken < limit && in_[taken] && set.Contains(in_[taken])) ++taken;
        if (taken == 0) return Step::kMismatch;
        if (!suppress) StoreText(zb::IsWideConversion(conv, size), {in_, taken}, true);
        break;
      }
      case u'd':
      case u'u':
      case u'i':
      case u'o':
      case u'x':
      case u'X': {
        int base = conv == u'i' ? 0 : conv == u'o' ? 8 : (conv == u'x' || conv == u'X') ? 16 : 10;
        zb::ParsedInteger n = zb::ParseInteger(in_, limit, base);
        if (!n.length) return Step::kMismatch;
        // Out-of-range text wraps into the field, as the device's scanner does; it never traps.
        if (!suppress) StoreInteger(size, n.negative ? 0 - n.magnitude : n.magnitude);
        taken = n.length;
        break;
      }
      case u'e':
      case u'E':
      case u'f':
      case u'g':
      case u'G': {
        std::string text = FloatText(in_, limit);
        if (text.empty()) return Step::kMismatch;
        double v = ToDouble(text);
        if (!suppress && size == ArgSize::kDefault) *args_.Next<float*>() = static_cast<float>(v);
        if (!suppress && size != ArgSize::kDefault) *args_.Next<double*>() = v;
        taken = text.size();
        break;
      }
      default:
        return Step::kMismatch;
    }
    in_ += taken;
    ++conversions_;
    if (!suppress) ++assigned_;
    return Step::kDone;
  }

  void StoreInteger(ArgSize size, uint64_t v) {
    switch (size) {
      case ArgSize::kShort:
        *args_.Next<int16_t*>() = static_cast<int16_t>(v);
        break;
      case ArgSize::kLongLong:
        *args_.Next<int64_t*>() = static_cast<int64_t>(v);
        break;
      default:
        *args_.Next<int32_t*>() = static_cast<int32_t>(v);
        break;
    }
  }

  void StoreText(bool wide, std::u16string_view text, bool terminate) {
    if (wide) {
      auto* out = args_.Next<char16_t*>();
      std::memcpy(out, text.data(), text.size() * sizeof(char16_t));
      if (terminate) out[text.size()] = 0;
    } else {
      auto* out = args_.Next<char*>();
      std::string bytes;
      zb::WideToAnsi(text, bytes);
      std::memcpy(out, bytes.data(), bytes.size());
      if (terminate) out[bytes.size()] = 0;
    }
  }

  const char16_t* start_;
  const char16_t* in_;
  zb::Args args_;
  int assigned_ = 0;
  int conversions_ = 0;
};

}  // namespace

int vswscanf(const char16_t* input, const char16_t* format, va_list args) {
  if (!input || !format) {
    errno = EINVAL;
    return EOF;
  }
  return Scanner(input, args).Run(format);
}

int swscanf(const char16_t* input, const char16_t* format, ...) {
  zb::VarArgs args;
  va_start(args.list, format);
  return vswscanf(input, format, args.list);
}
