// The title-format functions. Every result is bounded by the room left in the title, so no
// argument (a width of a million, a long replacement) can make a text larger than the title.
#include "title_functions.h"

#include <cstdio>
#include <string>

#include "wide_text.h"

namespace {

using zblib::ScanInt;

HRESULT Give(std::u16string_view text, size_t room, std::u16string* result) {
  if (text.size() > room) return E_FAIL;
  result->assign(text);
  return S_OK;
}

bool Number(const TitleArgument& arg, LONG* value) { return ScanInt(arg.text, value); }

bool Numbers(const TitleArgument* args, LONG* a, LONG* b) { return Number(args[0], a) && Number(args[1], b); }

std::u16string FormatNarrow(const char* format, auto... values) {
  char buffer[96];
  int n = std::snprintf(buffer, sizeof(buffer), format, values...);
  return zblib::Widen(std::string_view(buffer, n > 0 ? static_cast<size_t>(n) : 0));
}

// Wrapping 32-bit arithmetic, as the device's integers behave.
HRESULT GiveInt(LONGLONG value, size_t room, std::u16string* result) {
  return Give(FormatNarrow("%d", static_cast<int>(static_cast<LONG>(static_cast<uint32_t>(value)))), room, result);
}

HRESULT If(const TitleArgument* a, size_t room, std::u16string* r) {
  return Give(a[0].missing == 0 ? a[1].text : a[2].text, room, r);
}

HRESULT If2(const TitleArgument* a, size_t room, std::u16string* r) {
  return Give(a[0].missing == 0 ? a[0].text : a[1].text, room, r);
}

HRESULT Num(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG n, w;
  if (a[0].missing != 0 || !Numbers(a, &n, &w) || w == 0) return E_FAIL;
  // "%0<w>d"; a negative width reads as the '-' flag: left-justified, padded with spaces.
  const LONGLONG width = w < 0 ? -static_cast<LONGLONG>(w) : w;
  if (static_cast<ULONGLONG>(width) > room) return E_FAIL;
  std::string format = "%0" + std::to_string(w) + "d";
  std::string text(static_cast<size_t>(width) + 16, '\0');
  int written = std::snprintf(text.data(), text.size(), format.c_str(), static_cast<int>(n));
  if (written < 0) return E_FAIL;
  text.resize(static_cast<size_t>(written));
  return Give(zblib::Widen(text), room, r);
}

std::u16string Padded(std::u16string_view s, LONG n, size_t room) {
  std::u16string out(s);
  const size_t target = n < 0 ? 0 : std::min(static_cast<size_t>(n), room);
  if (out.size() < target) out.append(target - out.size(), u' ');
  return out;
}

std::u16string_view Cut(std::u16string_view s, LONG n) {
  return static_cast<LONGLONG>(s.size()) > n ? s.substr(0, n < 0 ? 0 : static_cast<size_t>(n)) : s;
}

HRESULT Pad(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG n;
  if (!Number(a[1], &n)) return E_FAIL;
  return Give(Padded(a[0].text, n, room), room, r);
}

HRESULT CutFn(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG n;
  if (!Number(a[1], &n)) return E_FAIL;
  return Give(Cut(a[0].text, n), room, r);
}

HRESULT PadCut(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG n;
  if (!Number(a[1], &n)) return E_FAIL;
  if (static_cast<LONGLONG>(a[0].text.size()) > n) return Give(Cut(a[0].text, n), room, r);
  return Give(Padded(a[0].text, n, room), room, r);
}

HRESULT Longest(const TitleArgument* a, size_t room, std::u16string* r) {
  return Give(a[0].text.size() > a[1].text.size() ? a[0].text : a[1].text, room, r);
}

template <WCHAR (*Map)(WCHAR)>
HRESULT MapChars(const TitleArgument* a, size_t room, std::u16string* r) {
  std::u16string out = a[0].text;
  for (WCHAR& c : out) c = Map(c);
  return Give(out, room, r);
}

// Capitalise the letter that starts each word (a letter after a character without case).
template <bool LowerTheRest>
HRESULT Caps(const TitleArgument* a, size_t room, std::u16string* r) {
  std::u16string out = a[0].text;
  bool wordStart = true;
  for (WCHAR& c : out) {
    if (!zblib::HasCase(c)) {
      wordStart = true;
      continue;
    }
    c = wordStart ? zblib::FoldUpper(c) : (LowerTheRest ? zblib::FoldLower(c) : c);
    wordStart = false;
  }
  return Give(out, room, r);
}

template <LONGLONG (*Op)(LONGLONG, LONGLONG)>
HRESULT Arithmetic(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG x, y;
  if (!Numbers(a, &x, &y)) return E_FAIL;
  return GiveInt(Op(x, y), room, r);
}
LONGLONG AddOp(LONGLONG x, LONGLONG y) { return x + y; }
LONGLONG SubOp(LONGLONG x, LONGLONG y) { return x - y; }
LONGLONG MulOp(LONGLONG x, LONGLONG y) { return x * y; }

HRESULT Div(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG x, y;
  if (!Numbers(a, &x, &y) || y == 0) return E_FAIL;
  return GiveInt(static_cast<LONGLONG>(x) / y, room, r);
}

HRESULT Mod(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG x, y;
  if (!Numbers(a, &x, &y) || y < 1) return E_FAIL;
  return GiveInt(x % y, room, r);
}

HRESULT IfGe(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG x, y;
  if (!Numbers(a, &x, &y)) return E_FAIL;
  return Give(x >= y ? a[2].text : a[3].text, room, r);
}

// $instr and $rinstr: a start that must be a number, an empty t found at 1, else the search.
using Search = LONGLONG (*)(std::u16string_view s, std::u16string_view t, LONG start);
template <Search Find>
HRESULT Position(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG start;
  if (!Number(a[2], &start)) return E_FAIL;
  const std::u16string_view t = a[1].text;
  return GiveInt(t.empty() ? 1 : Find(a[0].text, t, start), room, r);
}

// The first occurrence from the 0-based index start on.
LONGLONG FirstFrom(std::u16string_view s, std::u16string_view t, LONG start) {
  if (start >= 0 && static_cast<size_t>(start) >= s.size()) return 0;
  size_t at = zblib::FindNoCase(s, t, start < 0 ? 0 : static_cast<size_t>(start));
  return at == std::u16string_view::npos ? 0 : static_cast<LONGLONG>(at) + 1;
}

// The last occurrence that begins at or before the character searched from: the last one for a
// start of 0 or less, else the one just before 1-based position start.
LONGLONG LastBefore(std::u16string_view s, std::u16string_view t, LONG start) {
  if (s.size() < t.size()) return 0;
  LONGLONG from = start <= 0 ? static_cast<LONGLONG>(s.size()) - 1 : static_cast<LONGLONG>(start) - 2;
  from = std::min<LONGLONG>(from, static_cast<LONGLONG>(s.size() - t.size()));
  for (LONGLONG i = from; i >= 0; --i)
    if (zblib::EqualNoCase(s.substr(static_cast<size_t>(i), t.size()), t)) return i + 1;
  return 0;
}

HRESULT Mid(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG start, count;
  if (!Number(a[1], &start) || !Number(a[2], &count)) return E_FAIL;
  std::u16string_view s = a[0].text;
  if (start < 1 || static_cast<size_t>(start) > s.size()) return Give(u"", room, r);
  std::u16string_view rest = s.substr(static_cast<size_t>(start) - 1);
  if (count > 0 && static_cast<size_t>(count) < rest.size()) rest = rest.substr(0, static_cast<size_t>(count));
  return Give(rest, room, r);
}

HRESULT Right(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG n;
  if (!Number(a[1], &n)) return E_FAIL;
  std::u16string_view s = a[0].text;
  if (static_cast<LONGLONG>(s.size()) > n) s = s.substr(s.size() - (n < 0 ? 0 : static_cast<size_t>(n)));
  return Give(s, room, r);
}

HRESULT Len(const TitleArgument* a, size_t room, std::u16string* r) {
  return GiveInt(static_cast<LONGLONG>(a[0].text.size()), room, r);
}

HRESULT TrimFn(const TitleArgument* a, size_t room, std::u16string* r) { return Give(zblib::Trim(a[0].text), room, r); }

HRESULT Time(const TitleArgument* a, size_t room, std::u16string* r) {
  LONG ms;
  if (!Number(a[0], &ms)) return Give(u"", room, r);
  // The locale's time separator; this device's locale has none of its own, so ':'.
  const char* separator = ":";
  const LONG t = ms / 1000, h = t / 3600, m = (t % 3600) / 60, s = t % 60;
  std::u16string text = h == 0 ? FormatNarrow("%d%s%02d", m, separator, s)
                               : FormatNarrow("%d%s%02d%s%02d", h, separator, m, separator, s);
  return Give(text, room, r);
}

HRESULT Replace(const TitleArgument* a, size_t room, std::u16string* r) {
  const std::u16string_view s = a[0].text, from = a[1].text, to = a[2].text;
  if (from.empty()) return Give(s, room, r);
  std::u16string out;
  size_t pos = 0;
  for (size_t at; (at = s.find(from, pos)) != std::u16string_view::npos; pos = at + from.size()) {
    out.append(s.substr(pos, at - pos));
    out.append(to);
    if (out.size() > room) return E_FAIL;
  }
  out.append(s.substr(pos));
  return Give(out, room, r);
}

constexpr TitleFunctionEntry kFunctions[] = {
    {u"if", 3, If},
    {u"if2", 2, If2},
    {u"num", 2, Num},
    {u"pad", 2, Pad},
    {u"cut", 2, CutFn},
    {u"padcut", 2, PadCut},
    {u"longest", 2, Longest},
    {u"lower", 1, MapChars<zblib::FoldLower>},
    {u"upper", 1, MapChars<zblib::FoldUpper>},
    {u"caps", 1, Caps<true>},
    {u"caps2", 1, Caps<false>},
    {u"add", 2, Arithmetic<AddOp>},
    {u"sub", 2, Arithmetic<SubOp>},
    {u"mul", 2, Arithmetic<MulOp>},
    {u"div", 2, Div},
    {u"mod", 2, Mod},
    {u"ifge", 4, IfGe},
    {u"instr", 3, Position<FirstFrom>},
    {u"rinstr", 3, Position<LastBefore>},
    {u"left", 2, CutFn},
    {u"mid", 3, Mid},
    {u"right", 2, Right},
    {u"len", 1, Len},
    {u"trim", 1, TrimFn},
    {u"time", 1, Time},
    {u"replace", 3, Replace},
};

}  // namespace

const TitleFunctionEntry* FindTitleFunction(std::u16string_view name) {
  for (const TitleFunctionEntry& entry : kFunctions)
    if (zblib::EqualNoCase(entry.name, name)) return &entry;
  return nullptr;
}
