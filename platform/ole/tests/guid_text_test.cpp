// GUID text both ways: the registry form written upper-case, read in either case, and every
// malformed text refused with CO_E_CLASSSTRING and a null CLSID.
#include <gtest/gtest.h>
#include <objbase.h>
#include <string>

namespace {

struct GuidText {
  GUID guid;
  const char16_t* text;
};

const GuidText kGuids[] = {
    {IID_IUnknown, u"{00000000-0000-0000-C000-000000000046}"},
    {IID_IStream, u"{0000000C-0000-0000-C000-000000000046}"},
    {IID_ISequentialStream, u"{0C733A30-2A1C-11CE-ADE5-00AA0044773D}"},
    {{0xFEDCBA98, 0x7654, 0x3210, {0x0F, 0x1E, 0x2D, 0x3C, 0x4B, 0x5A, 0x69, 0x78}}, u"{FEDCBA98-7654-3210-0F1E-2D3C4B5A6978}"},
    {GUID_NULL, u"{00000000-0000-0000-0000-000000000000}"},
};

const char16_t* const kMalformed[] = {
    u"",
    u"00000000-0000-0000-C000-000000000046",
    u"{00000000-0000-0000-C000-000000000046",
    u"{00000000-0000-0000-C000-000000000046}x",
    u"{0000000-00000-0000-C000-000000000046}",
    u"{00000000-0000-0000-C000-00000000004G}",
    u"{00000000_0000-0000-C000-000000000046}",
    u"{00000000-0000-0000-C000-0000000000}",
    u"ProgId.Of.Something",
};

TEST(GuidTextTest, WritesTheRegistryFormAndReadsItBack) {
  for (const GuidText& g : kGuids) {
    OLECHAR text[39];
    ASSERT_EQ(StringFromGUID2(g.guid, text, 39), 39);
    EXPECT_EQ(std::u16string(text), g.text);
    CLSID back{};
    ASSERT_EQ(CLSIDFromString(text, &back), S_OK);
    EXPECT_TRUE(IsEqualGUID(back, g.guid));
  }
  CLSID lower{};
  ASSERT_EQ(CLSIDFromString(u"{0c733a30-2a1c-11ce-ade5-00aa0044773d}", &lower), S_OK);
  EXPECT_TRUE(IsEqualGUID(lower, IID_ISequentialStream));
}

TEST(GuidTextTest, ShortBufferGetsNothing) {
  OLECHAR text[39] = {u'x'};
  EXPECT_EQ(StringFromGUID2(IID_IStream, text, 38), 0);
  EXPECT_EQ(text[0], u'x');
  EXPECT_EQ(StringFromGUID2(IID_IStream, nullptr, 39), 0);
}

TEST(GuidTextTest, MalformedTextIsRefused) {
  for (const char16_t* text : kMalformed) {
    CLSID clsid = IID_IStream;
    EXPECT_EQ(CLSIDFromString(text, &clsid), CO_E_CLASSSTRING) << std::string(text, text + std::char_traits<char16_t>::length(text));
    EXPECT_TRUE(IsEqualGUID(clsid, CLSID_NULL));
  }
  CLSID clsid = IID_IStream;
  EXPECT_EQ(CLSIDFromString(nullptr, &clsid), S_OK);
  EXPECT_TRUE(IsEqualGUID(clsid, CLSID_NULL));
  EXPECT_EQ(CLSIDFromString(u"{00000000-0000-0000-C000-000000000046}", nullptr), E_INVALIDARG);
}

}  // namespace
