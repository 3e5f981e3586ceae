// The tag-name table and its three lookups, with the decoders' attribute names behind it.
#include <gtest/gtest.h>

#include <set>

#include "helpers.h"
#include "tagnames.h"

using namespace testing_helpers;

namespace {

TEST(TagNameTable, LayoutOfTheRows) {
  auto rows = TagNameTable();
  ASSERT_EQ(rows.size(), 170u);
  for (DWORD t = 0; t <= 6; ++t) {
    EXPECT_EQ(rows[t].id, t << 16);
    EXPECT_EQ(rows[t].name, nullptr);
  }
  std::set<DWORD> ids;
  for (size_t i = 7; i < rows.size(); ++i) {
    DWORD id = rows[i].id;
    EXPECT_TRUE(ids.insert(id).second) << std::hex << id;
    EXPECT_GE(TAG_TYPE(id), 1u);
    EXPECT_LE(TAG_TYPE(id), 6u);
    EXPECT_EQ(id & 0x7FF00000u, 0u) << std::hex << id;
    EXPECT_GT(TAG_NUMBER(id), 0u);
    EXPECT_LT(TAG_NUMBER(id), static_cast<DWORD>(TAG_INTERNAL_NUMBER));
  }
}

TEST(TagNameTable, LookupsByNameNumberAndId) {
  const struct {
    const char16_t* name;
    DWORD id;
  } named[] = {
      {u"Display title", 0x00010009}, {u"display TITLE", 0x00010009}, {u"Rating", 0x000203EA},
      {u"Play count", 0x80021771},    {u"Artwork data", 0x80051B59},  {u"MCDI", 0x00050FA1},
      {u"Media type", 0x00064DBD},    {u"iTunes podcast flag", 0x00022D53},
      {u"ID3 volume adjustment", 0x80032EE2}, {u"Release date", 0x000407D3},
  };
  for (const auto& c : named) {
    DWORD id = 0;
    EXPECT_EQ(LookupTagId(c.name, &id), S_OK) << Narrow(c.name);
    EXPECT_EQ(id, c.id) << Narrow(c.name);
    std::u16string name;
    ASSERT_EQ(LookupTagName(c.id, &name), S_OK);
    EXPECT_EQ(Narrow(name).size(), Narrow(c.name).size());
    DWORD byNumber = 0;
    EXPECT_EQ(LookupTagIdByNumber(TAG_NUMBER(c.id), &byNumber), S_OK);
    EXPECT_EQ(byNumber, c.id);
  }
}

TEST(TagNameTable, RowsWithoutNamesAndNumbersOutsideTheTable) {
  DWORD id = 0;
  EXPECT_EQ(LookupTagIdByNumber(3001, &id), S_OK);
  EXPECT_EQ(id, 0x00030BB9u);
  std::u16string name;
  EXPECT_EQ(LookupTagName(0x00030BB9, &name), E_FAIL);
  EXPECT_EQ(LookupTagName(0x00010000, &name), E_FAIL);
  EXPECT_EQ(LookupTagName(0x00010FFF, &name), E_FAIL);
  EXPECT_EQ(LookupTagIdByNumber(0, &id), E_FAIL);
  EXPECT_EQ(LookupTagIdByNumber(0x10009, &id), E_FAIL);  // above 65535 matches nothing
  EXPECT_EQ(LookupTagIdByNumber(30002, &id), E_FAIL);
  EXPECT_EQ(LookupTagIdByNumber(9, nullptr), E_POINTER);
  EXPECT_EQ(LookupTagId(u"No such tag", &id), E_FAIL);
  EXPECT_EQ(LookupTagId(u"", &id), E_FAIL);
}

TEST(TagNameTable, AttributeNamesFillInAfterTheTable) {
  SetAttributeNameLookup([](LPCWSTR name) -> DWORD {
    return std::u16string_view(name) == u"WM/AlbumArtist" ? 0x00010008u : 0u;
  });
  DWORD id = 0;
  EXPECT_EQ(LookupTagId(u"WM/AlbumArtist", &id), S_OK);
  EXPECT_EQ(id, 0x00010008u);
  EXPECT_EQ(LookupTagId(u"WM/Unknown", &id), E_FAIL);
  EXPECT_EQ(LookupTagId(u"artist", &id), S_OK);  // the table answers first
  EXPECT_EQ(id, TAG_ARTIST);
  SetAttributeNameLookup(nullptr);
  EXPECT_EQ(LookupTagId(u"WM/AlbumArtist", &id), E_FAIL);
}

}  // namespace
