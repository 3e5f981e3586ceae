// Attribute values out of tag-shaped lines, with conditions on other attributes.
#include <gtest/gtest.h>

#include "settingsui/tag_attribute.h"

namespace {

const WCHAR* Find(const WCHAR* text, const WCHAR* tag, std::vector<TagCondition> conditions, const WCHAR* attribute) {
  return ReadTagAttribute(text, tag, conditions.data(), static_cast<int>(conditions.size()), attribute);
}

TEST(ReadTagAttribute, ReturnsTheOpeningQuoteOfTheValueUnderConditions) {
  const WCHAR* text = u"<tag a=\"x1\" b=\"y\">";
  const WCHAR* found = Find(text, u"tag", {{u"a", u"x"}}, u"b");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found - text, 14);
  EXPECT_EQ(*found, u'"');
  EXPECT_EQ(Find(text, u"tag", {{u"a", u"z"}}, u"b"), nullptr);
  EXPECT_EQ(Find(text, u"TAG", {{u"A", u"X"}}, u"B"), found);  // names and prefixes without case
  EXPECT_EQ(Find(text, u"tag", {}, u"a"), text + 7);
}

TEST(ReadTagAttribute, LooksAtLaterTagsWhenAnEarlierOneDoesNotMatch) {
  const WCHAR* text = u"<entry ref=\"1\" kind=\"audio\"/>\n<entry ref=\"2\" kind=\"video\"/>";
  const WCHAR* found = Find(text, u"entry", {{u"kind", u"vid"}}, u"ref");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(std::u16string(found, 3), u"\"2\"");
}

TEST(ReadTagAttribute, NamesAreComparedWhole) {
  EXPECT_EQ(Find(u"<entryref href=\"x\">", u"entry", {}, u"href"), nullptr);
  EXPECT_EQ(Find(u"<ref hrefx=\"x\">", u"ref", {}, u"href"), nullptr);
  const WCHAR* text = u"<ref hrefx=\"x\" href = 'y'>";
  const WCHAR* found = Find(text, u"ref", {}, u"href");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(*found, u'\'');
}

TEST(ReadTagAttribute, BrokenTextEndsTheSearch) {
  for (const WCHAR* text : {u"<tag a=", u"<tag a=\"unterminated", u"<tag", u"no tags", u"<tag a>", u""}) {
    EXPECT_EQ(Find(text, u"tag", {{u"a", u"x"}}, u"b"), nullptr) << ::testing::PrintToString(std::u16string(text));
  }
  EXPECT_EQ(Find(u"<tag a=\"x\">", u"tag", {}, nullptr), nullptr);
  EXPECT_EQ(ReadTagAttribute(nullptr, u"tag", nullptr, 0, u"a"), nullptr);
}

TEST(SkipQuotedValue, StopsBehindTheClosingQuoteAndHonoursEscapes) {
  const struct {
    const char16_t* text;
    size_t behind;
  } cases[] = {
      {u"\"abc\" rest", 5}, {u"'a\\'b' rest", 6}, {u"\"open", 5}, {u"bare rest", 4}, {u"bare>", 4}, {u"", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<size_t>(SkipQuotedValue(c.text) - c.text), c.behind) << ::testing::PrintToString(std::u16string(c.text));
  }
}

TEST(SkipToAttributeValue, FindsTheValueBehindTheEqualsSign) {
  const WCHAR* text = u"  name =  \"v\"";
  EXPECT_EQ(SkipToAttributeValue(text), text + 10);
  EXPECT_EQ(SkipToAttributeValue(u"name>"), nullptr);
  EXPECT_EQ(SkipToAttributeValue(u"name="), nullptr);
  EXPECT_EQ(SkipToAttributeValue(u"name= >"), nullptr);
}

}  // namespace
