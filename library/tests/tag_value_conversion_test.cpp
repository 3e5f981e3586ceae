// CTagValue conversions: every source form converted to every value type, as a table; the
// setters' trimming and refusals; byte forms in and out.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "helpers.h"
#include "tagnames.h"

using namespace testing_helpers;

namespace {

const GUID kGuid = {0x41E0F3C8, 0xA5CF, 0x4822, {0xAB, 0x7D, 0x9A, 0xE1, 0x00, 0xFB, 0x5F, 0xF2}};
constexpr const char16_t* kGuidText = u"{41E0F3C8-A5CF-4822-AB7D-9AE100FB5FF2}";

CTagValue FromText(const char16_t* t) { CTagValue v; v.SetText(t); return v; }
CTagValue FromInt(LONG i) { CTagValue v; v.SetInt(i); return v; }
CTagValue FromReal(float f) { CTagValue v; v.SetFloat(f); return v; }
CTagValue FromDate(SYSTEMTIME st) { CTagValue v; v.SetSystemTime(st); return v; }
CTagValue FromBlob(const void* d, DWORD n) { CTagValue v; v.SetBlob(d, n); return v; }
CTagValue FromGuid(const GUID& g) { CTagValue v; v.SetGuid(g); return v; }

struct Target {
  const char* name;
  DWORD tag;
};
const Target kTargets[] = {
    {"string", TAG_ARTIST}, {"integer", TAG_RATING}, {"real", TAG_REPLAYGAIN_TRACK_GAIN},
    {"date", TAG_RELEASE_DATE}, {"blob", TAG_MCDI}, {"guid", TAG_MEDIA_TYPE},
};

// nullptr: the conversion fails. Otherwise the text form of the converted value.
struct ConversionRow {
  const char* source;
  std::function<CTagValue()> make;
  const char16_t* expected[6];  // string, integer, real, date, blob, guid
};

const char kBytes4[] = "abc";  // 4 bytes with its terminator

std::vector<ConversionRow> Rows() {
  return {
      {"text 42", [] { return FromText(u"42"); },
       {u"42", u"42", u"42.000000", u"1942", u"(Binary data, 6 bytes)", nullptr}},
      {"text abc", [] { return FromText(u"abc"); },
       {u"abc", nullptr, nullptr, nullptr, u"(Binary data, 8 bytes)", nullptr}},
      {"text date", [] { return FromText(u"2007-10-16 09:05:00"); },
       {u"2007-10-16 09:05:00", u"2007", u"2007.000000", u"2007-10-16 09:05:00", u"(Binary data, 40 bytes)", nullptr}},
      {"text guid", [] { return FromText(kGuidText); },
       {kGuidText, nullptr, nullptr, nullptr, u"(Binary data, 78 bytes)", kGuidText}},
      {"integer 42", [] { return FromInt(42); },
       {u"42", u"42", u"42.000000", u"0042", u"(Binary data, 4 bytes)", nullptr}},
      {"integer -5", [] { return FromInt(-5); },
       {u"-5", u"-5", u"-5.000000", nullptr, u"(Binary data, 4 bytes)", nullptr}},
      {"real 2.75", [] { return FromReal(2.75f); },
       {u"2.750000", u"2", u"2.750000", u"1601-01-01 00:00:00", u"(Binary data, 4 bytes)", nullptr}},
      {"real -2.75", [] { return FromReal(-2.75f); },
       {u"-2.750000", u"-2", u"-2.750000", nullptr, u"(Binary data, 4 bytes)", nullptr}},
      {"real 1e20", [] { return FromReal(1e20f); },
       {u"100000002004087734272.000000", nullptr, u"100000002004087734272.000000", nullptr,
        u"(Binary data, 4 bytes)", nullptr}},
      {"full date", [] { return FromDate(Date(2007, 10, 16, 9, 5, 0)); },
       {u"2007-10-16 09:05:00", u"2007", u"128369992587542528.000000", u"2007-10-16 09:05:00",
        u"(Binary data, 16 bytes)", nullptr}},
      {"year only", [] { return FromDate(Date(2007)); },
       {u"2007", u"2007", nullptr, u"2007", u"(Binary data, 16 bytes)", nullptr}},
      {"empty date", [] { return FromDate(Date(0)); },
       {nullptr, nullptr, nullptr, u"", u"(Binary data, 16 bytes)", nullptr}},
      {"blob 4", [] { return FromBlob(kBytes4, 4); },
       {u"(Binary data, 4 bytes)", nullptr, nullptr, nullptr, u"(Binary data, 4 bytes)", nullptr}},
      {"blob 16", [] { return FromBlob(&kGuid, 16); },
       {u"(Binary data, 16 bytes)", nullptr, nullptr, nullptr, u"(Binary data, 16 bytes)", kGuidText}},
      {"guid", [] { return FromGuid(kGuid); },
       {kGuidText, nullptr, nullptr, nullptr, u"(Binary data, 16 bytes)", kGuidText}},
  };
}

TEST(TagValueConversion, EverySourceFormToEveryType) {
  FixedClock clock(Date(2007, 6, 1));
  for (const ConversionRow& row : Rows()) {
    for (size_t t = 0; t < std::size(kTargets); ++t) {
      SCOPED_TRACE(std::string(row.source) + " -> " + kTargets[t].name);
      CTagValue v = row.make();
      HRESULT hr = v.ConvertTo(kTargets[t].tag);
      if (!row.expected[t]) {
        EXPECT_EQ(hr, E_FAIL);
        EXPECT_NE(v.id, kTargets[t].tag);
        continue;
      }
      ASSERT_EQ(hr, S_OK);
      EXPECT_EQ(v.id, kTargets[t].tag);
      EXPECT_EQ(Narrow(TextOf(v)), Narrow(row.expected[t]));
    }
  }
}

TEST(TagValueConversion, ValuesLandInTheTargetRepresentation) {
  EXPECT_EQ(CTagValue::ForText(TAG_RATING, u"  42 ").integer, 42);
  EXPECT_EQ(CTagValue::ForInt(TAG_RELEASE_DATE, 2007).date.wYear, 2007);
  EXPECT_FLOAT_EQ(CTagValue::ForText(TAG_REPLAYGAIN_TRACK_GAIN, u"-6.5 dB").real, -6.5f);
  GUID g{};
  CTagValue blob = CTagValue::ForBlob(TAG_MEDIA_TYPE, &kGuid, sizeof(kGuid));
  ASSERT_EQ(blob.id, TAG_MEDIA_TYPE);
  EXPECT_EQ(blob.guid, kGuid);
  ASSERT_EQ(CTagValue::ForText(TAG_MCDI, u"ab").ToGuid(&g), E_FAIL);
}

TEST(TagValueConversion, TruncationTowardZeroAndRangeLimits) {
  LONG i = 7;
  EXPECT_EQ(FromReal(-2.99f).ToInt(&i), S_OK);
  EXPECT_EQ(i, -2);
  EXPECT_EQ(FromReal(3e9f).ToInt(&i), E_FAIL);
  EXPECT_EQ(i, 0);
  EXPECT_EQ(FromReal(std::numeric_limits<float>::quiet_NaN()).ToInt(&i), E_FAIL);
  EXPECT_EQ(FromText(u"12abc").ToInt(&i), S_OK);  // "%d" reads the leading number
  EXPECT_EQ(i, 12);
}

TEST(TagValueSetters, TextIsTrimmedAndMustKeepSomething) {
  CTagValue v;
  EXPECT_EQ(v.SetText(static_cast<LPCWSTR>(nullptr)), E_INVALIDARG);
  EXPECT_EQ(v.SetText(u"   "), E_FAIL);
  EXPECT_EQ(v.SetText(u"\t Abba \r\n"), S_OK);
  EXPECT_EQ(v.text, u"Abba");
  EXPECT_EQ(v.id, TAG_ID(0, TAG_TYPE_STR));
  EXPECT_NE(CTagValue::ForText(TAG_ARTIST, u"   ").id, TAG_ARTIST);
}

TEST(TagValueSetters, BlobNeedsBytes) {
  CTagValue v;
  EXPECT_EQ(v.SetBlob(nullptr, 4), E_FAIL);
  EXPECT_EQ(v.SetBlob(kBytes4, 0), E_FAIL);
  EXPECT_EQ(v.SetBlobHandle(BLOB_HANDLE_NONE, 4), E_FAIL);
  ASSERT_EQ(v.SetBlob(kBytes4, 4), S_OK);
  char back[4] = {};
  DWORD size = sizeof(back);
  EXPECT_EQ(v.GetBytes(back, &size), S_OK);
  EXPECT_EQ(std::memcmp(back, kBytes4, 4), 0);
}

TEST(TagValueSetters, FileTimeIsConvertedAndCheckedOnTheWayIn) {
  CTagValue v;
  FILETIME ft{0xA1600600u, 0x01C80FD3u};  // 128369991000000000: 2007-10-16 09:05:00
  ASSERT_EQ(v.SetFileTime(ft), S_OK);
  EXPECT_EQ(Narrow(TextOf(v)), "2007-10-16 09:05:00");
  EXPECT_EQ(v.date.wDayOfWeek, 2);  // a Tuesday
  FILETIME back{};
  EXPECT_EQ(v.ToFileTime(&back), S_OK);
  EXPECT_EQ(back.dwLowDateTime, ft.dwLowDateTime);
  EXPECT_EQ(back.dwHighDateTime, ft.dwHighDateTime);
  EXPECT_EQ(v.SetFileTime(FILETIME{0, 0x80000000u}), E_FAIL);
}

struct ByteFormCase {
  DWORD tag;
  std::vector<uint8_t> bytes;
  bool accepted;
};

std::vector<uint8_t> Utf16(std::u16string_view text, bool terminate) {
  std::vector<uint8_t> out;
  for (char16_t c : text) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  if (terminate) out.insert(out.end(), {0, 0});
  return out;
}

template <typename T>
std::vector<uint8_t> Raw(const T& value) {
  std::vector<uint8_t> out(sizeof(T));
  std::memcpy(out.data(), &value, sizeof(T));
  return out;
}

TEST(TagValueByteForms, SizesAcceptedPerType) {
  const ByteFormCase cases[] = {
      {TAG_ARTIST, Utf16(u"Abba", true), true},
      {TAG_ARTIST, Utf16(u"Abba", false), false},  // no terminator inside the size: refused
      {TAG_ARTIST, {'A', 0, 0}, false},            // odd size, the terminator would cross it
      {TAG_ARTIST, {0, 0}, false},                 // empty text
      {TAG_ARTIST, {'A'}, false},
      {TAG_RATING, Raw<LONG>(5), true},
      {TAG_RATING, Raw<short>(5), false},
      {TAG_RATING, Raw<LONGLONG>(5), false},
      {TAG_REPLAYGAIN_TRACK_GAIN, Raw<float>(1.5f), true},
      {TAG_REPLAYGAIN_TRACK_GAIN, Raw<double>(1.5), true},
      {TAG_REPLAYGAIN_TRACK_GAIN, Raw<short>(1), false},
      {TAG_RELEASE_DATE, Raw(Date(2007, 10, 16)), true},
      {TAG_RELEASE_DATE, Raw(FILETIME{0xA1600600u, 0x01C80FD3u}), true},
      {TAG_RELEASE_DATE, Raw<LONG>(2007), false},
      {TAG_MCDI, {1}, true},
      {TAG_MCDI, {}, false},
      {TAG_MEDIA_TYPE, Raw(kGuid), true},
      {TAG_MEDIA_TYPE, std::vector<uint8_t>(15, 1), false},
  };
  for (const ByteFormCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.tag << " size " << std::dec << c.bytes.size());
    CTagValue v = CTagValue::ForBytes(c.tag, c.bytes.empty() ? nullptr : c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
    EXPECT_EQ(v.id == c.tag, c.accepted);
  }
}

TEST(TagValueByteForms, GetBytesReportsSizeThenCopies) {
  struct Case {
    CTagValue value;
    DWORD size;
  };
  const Case cases[] = {
      {CTagValue::ForText(TAG_ARTIST, u"Abba"), 10}, {CTagValue::ForInt(TAG_RATING, 5), 4},
      {CTagValue::ForFloat(TAG_REPLAYGAIN_TRACK_GAIN, 1), 4}, {CTagValue::ForInt(TAG_RELEASE_DATE, 2007), 16},
      {CTagValue::ForBlob(TAG_MCDI, kBytes4, 3), 3}, {CTagValue::ForGuid(TAG_MEDIA_TYPE, kGuid), 16},
      {CTagValue(), 0},
  };
  for (const Case& c : cases) {
    DWORD size = 1234;
    ASSERT_EQ(c.value.GetBytes(nullptr, &size), S_OK);
    EXPECT_EQ(size, c.size);
    if (c.size == 0) continue;
    std::vector<uint8_t> buffer(c.size + 8);
    DWORD small = c.size - 1;
    EXPECT_EQ(c.value.GetBytes(buffer.data(), &small), E_FAIL);
    DWORD big = static_cast<DWORD>(buffer.size());
    EXPECT_EQ(c.value.GetBytes(buffer.data(), &big), S_OK);
    EXPECT_EQ(big, c.size);
  }
}

TEST(TagValueCopies, BlobReferencesAreSharedAndReleased) {
  CTagValue a = CTagValue::ForBlob(TAG_MCDI, kBytes4, 4);
  {
    CTagValue b = a;
    CTagValue c;
    c = b;
    EXPECT_EQ(b.Blob(), a.Blob());
    EXPECT_EQ(c.Blob(), a.Blob());
  }
  char back[4];
  DWORD size = 4;
  EXPECT_EQ(a.GetBytes(back, &size), S_OK);
  a.Clear();
  EXPECT_EQ(a.Blob(), nullptr);
  EXPECT_EQ(a.id, 0u);
}

}  // namespace
