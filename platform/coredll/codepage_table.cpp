// Which code pages exist on this device and what they look like: the table behind GetCPInfo,
// IsValidCodePage and the DBCS lead-byte tests, and the pseudo pages (CP_ACP ...) resolved.
#include <atomic>
#include <iterator>

#include "coredll/active_code_page.h"
#include "coredll/codepage.h"

namespace zb {
namespace {

using K = CodePageKind;

constexpr CodePage kPages[] = {
    {1252, K::kWindows1252, nullptr, {}},
    {CP_UTF8, K::kUtf8, nullptr, {}},
    {932, K::kIconv, "CP932", {0x81, 0x9F, 0xE0, 0xFC}},
    {936, K::kIconv, "CP936", {0x81, 0xFE}},
    {949, K::kIconv, "CP949", {0x81, 0xFE}},
    {950, K::kIconv, "CP950", {0x81, 0xFE}},
    {874, K::kIconv, "CP874", {}},
    {1250, K::kIconv, "CP1250", {}},
    {1251, K::kIconv, "CP1251", {}},
    {1253, K::kIconv, "CP1253", {}},
    {1254, K::kIconv, "CP1254", {}},
    {1255, K::kIconv, "CP1255", {}},
    {1256, K::kIconv, "CP1256", {}},
    {1257, K::kIconv, "CP1257", {}},
    {1258, K::kIconv, "CP1258", {}},
    {437, K::kIconv, "CP437", {}},
    {737, K::kIconv, "CP737", {}},
    {775, K::kIconv, "CP775", {}},
    {850, K::kIconv, "CP850", {}},
    {852, K::kIconv, "CP852", {}},
    {855, K::kIconv, "CP855", {}},
    {857, K::kIconv, "CP857", {}},
    {860, K::kIconv, "CP860", {}},
    {861, K::kIconv, "CP861", {}},
    {862, K::kIconv, "CP862", {}},
    {863, K::kIconv, "CP863", {}},
    {864, K::kIconv, "CP864", {}},
    {865, K::kIconv, "CP865", {}},
    {866, K::kIconv, "CP866", {}},
    {869, K::kIconv, "CP869", {}},
    {10000, K::kIconv, "MACINTOSH", {}},
    {20866, K::kIconv, "KOI8-R", {}},
    {21866, K::kIconv, "KOI8-U", {}},
    {28591, K::kIconv, "ISO-8859-1", {}},
    {28592, K::kIconv, "ISO-8859-2", {}},
    {28593, K::kIconv, "ISO-8859-3", {}},
    {28594, K::kIconv, "ISO-8859-4", {}},
    {28595, K::kIconv, "ISO-8859-5", {}},
    {28596, K::kIconv, "ISO-8859-6", {}},
    {28597, K::kIconv, "ISO-8859-7", {}},
    {28598, K::kIconv, "ISO-8859-8", {}},
    {28599, K::kIconv, "ISO-8859-9", {}},
    {28603, K::kIconv, "ISO-8859-13", {}},
    {28605, K::kIconv, "ISO-8859-15", {}},
};

// The OEM page that goes with each ANSI page; 437 for the rest.
constexpr struct {
  UINT ansi, oem;
} kOemPages[] = {
    {932, 932},  {936, 936},  {949, 949},  {950, 950},  {874, 874},  {1250, 852},
    {1251, 866}, {1253, 737}, {1254, 857}, {1255, 862}, {1257, 775}, {1258, 1258},
};

constexpr UINT kMacPage = 10000;

UINT Resolve(UINT codePage) {
  switch (codePage) {
    case CP_ACP:
    case CP_THREAD_ACP:
      return ActiveCodePage();
    case CP_OEMCP:
      return GetOEMCP();
    case CP_MACCP:
      return kMacPage;
    default:
      return codePage;
  }
}

// Whether the host converts a page is asked once per page, not on every conversion.
bool Converts(const CodePage& page) {
  if (page.kind != K::kIconv) return true;
  static std::atomic<signed char> known[std::size(kPages)];  // 0 not asked yet, 1 yes, -1 no
  std::atomic<signed char>& k = known[&page - kPages];
  if (k.load() == 0) k.store(IconvAvailable(page) ? 1 : -1);
  return k.load() > 0;
}

}  // namespace

const CodePage* FindCodePage(UINT codePage) {
  UINT number = Resolve(codePage);
  for (const CodePage& page : kPages) {
    if (page.number == number) return Converts(page) ? &page : nullptr;
  }
  return nullptr;
}

bool IsLeadByte(const CodePage& page, BYTE b) {
  for (size_t i = 0; i + 1 < MAX_LEADBYTES && page.leadBytes[i] != 0; i += 2) {
    if (b >= page.leadBytes[i] && b <= page.leadBytes[i + 1]) return true;
  }
  return false;
}

}  // namespace zb

extern "C" UINT WINAPI GetACP() { return zb::ActiveCodePage(); }

extern "C" UINT WINAPI GetOEMCP() {
  UINT ansi = zb::ActiveCodePage();
  for (const auto& p : zb::kOemPages) {
    if (p.ansi == ansi) return p.oem;
  }
  return 437;
}

extern "C" BOOL WINAPI IsValidCodePage(UINT codePage) {
  // Only real page numbers are valid here; the pseudo pages are for the conversion calls.
  return codePage > CP_THREAD_ACP && zb::FindCodePage(codePage) != nullptr;
}

extern "C" BOOL WINAPI GetCPInfo(UINT codePage, LPCPINFO info) {
  const zb::CodePage* page = zb::FindCodePage(codePage);
  if (!page || !info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *info = CPINFO{};
  info->MaxCharSize = page->kind == zb::CodePageKind::kUtf8 ? 4 : page->leadBytes[0] ? 2 : 1;
  info->DefaultChar[0] = '?';
  for (size_t i = 0; i < MAX_LEADBYTES; ++i) info->LeadByte[i] = page->leadBytes[i];
  return TRUE;
}

extern "C" BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE test) {
  const zb::CodePage* page = zb::FindCodePage(codePage);
  if (!page) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return zb::IsLeadByte(*page, test);
}

extern "C" BOOL WINAPI IsDBCSLeadByte(BYTE test) { return IsDBCSLeadByteEx(CP_ACP, test); }
