// BSTRs (length before the text, always terminated, embedded nulls kept) and VARIANTs that own
// what they hold: copies duplicate strings and add references, clearing frees and releases,
// and types this layer does not carry are refused untouched.
#include <gtest/gtest.h>
#include <cstring>
#include <oleauto.h>
#include <string>
#include <windows.h>

#include "test_objects.h"

namespace zb::ole::testing {
namespace {

TEST(BstrTest, CountedTerminatedAndNullSafe) {
  BSTR s = SysAllocString(u"Zonbrel");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 7u);
  EXPECT_EQ(s[7], 0);
  uint32_t bytes = 0;
  std::memcpy(&bytes, reinterpret_cast<const char*>(s) - 4, 4);
  EXPECT_EQ(bytes, 14u) << "the byte count sits just before the text";
  EXPECT_EQ(reinterpret_cast<uintptr_t>(s) % 8, 0u);
  SysFreeString(s);

  const char16_t embedded[] = {u'a', 0, u'b'};
  s = SysAllocStringLen(embedded, 3);
  EXPECT_EQ(SysStringLen(s), 3u);
  EXPECT_EQ(std::u16string(s, 3), std::u16string(embedded, 3));
  SysFreeString(s);

  s = SysAllocStringLen(nullptr, 4);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 4u);
  EXPECT_EQ(s[4], 0);
  SysFreeString(s);

  s = SysAllocString(u"");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 0u);
  SysFreeString(s);

  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
  EXPECT_EQ(SysAllocStringLen(u"x", 0x80000000u), nullptr) << "too long for a 32-bit byte count";
}

TEST(VariantTest, CopyDuplicatesStringsAndClearFreesThem) {
  VARIANT a, b;
  VariantInit(&a);
  VariantInit(&b);
  EXPECT_EQ(a.vt, VT_EMPTY);
  a.vt = VT_BSTR;
  a.bstrVal = SysAllocString(u"title");
  ASSERT_EQ(VariantCopy(&b, &a), S_OK);
  EXPECT_EQ(b.vt, VT_BSTR);
  EXPECT_NE(b.bstrVal, a.bstrVal);
  EXPECT_EQ(std::u16string(b.bstrVal), u"title");
  EXPECT_EQ(VariantClear(&a), S_OK);
  EXPECT_EQ(a.vt, VT_EMPTY);
  EXPECT_EQ(std::u16string(b.bstrVal), u"title");

  VARIANT number;
  VariantInit(&number);
  number.vt = VT_I4;
  number.lVal = -42;
  ASSERT_EQ(VariantCopy(&b, &number), S_OK) << "the target's string is freed first";
  EXPECT_EQ(b.vt, VT_I4);
  EXPECT_EQ(b.lVal, -42);
  EXPECT_EQ(VariantCopy(&b, &b), S_OK);
}

TEST(VariantTest, InterfacesGainAndLoseReferences) {
  auto* object = new Counted(3);
  VARIANT a, b;
  VariantInit(&a);
  VariantInit(&b);
  a.vt = VT_UNKNOWN;
  a.punkVal = object;  // the variant owns the creation reference
  ASSERT_EQ(VariantCopy(&b, &a), S_OK);
  EXPECT_EQ(object->refs(), 2u);
  EXPECT_EQ(VariantClear(&b), S_OK);
  EXPECT_EQ(object->refs(), 1u);

  VARIANT byRef;
  VariantInit(&byRef);
  IUnknown* held = object;
  byRef.vt = VT_UNKNOWN | VT_BYREF;
  byRef.ppunkVal = &held;
  ASSERT_EQ(VariantCopy(&b, &byRef), S_OK);
  EXPECT_EQ(object->refs(), 1u) << "a reference to a pointer owns nothing";
  EXPECT_EQ(VariantClear(&b), S_OK);
  EXPECT_EQ(VariantClear(&a), S_OK);
  EXPECT_EQ(liveObjects.load(), 0);
}

TEST(VariantTest, TypesNotCarriedAreRefusedAndLeftAlone) {
  constexpr VARTYPE kRefused[] = {VT_ARRAY | VT_I4, VT_DECIMAL, VT_VARIANT, 0x0FFF, VT_BYREF | VT_EMPTY, 0x8003};
  for (VARTYPE vt : kRefused) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    v.lVal = 1234;
    VARIANT target;
    VariantInit(&target);
    EXPECT_EQ(VariantCopy(&target, &v), DISP_E_BADVARTYPE) << vt;
    EXPECT_EQ(target.vt, VT_EMPTY);
    EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE) << vt;
    EXPECT_EQ(v.vt, vt);
    EXPECT_EQ(v.lVal, 1234);
  }
  EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

}  // namespace
}  // namespace zb::ole::testing
