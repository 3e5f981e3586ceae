// How the tag readers write many values: text appended value by value gives what the item itself
// would join, instance searches pick up where they ended, a genre frame adds a bounded number of
// genres however many it lists, and a read keeps the values of one tag in order up to its bound.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ape_tag.h"
#include "asf_reader.h"
#include "decoder_test_support.h"
#include "id3_reader.h"
#include "item_instances.h"
#include "item_text.h"
#include "item_writer.h"
#include "tag_builder.h"

namespace {

using namespace zbtest;

constexpr DWORD kComposer = 0x00010016, kTrack = 0x000203E9, kComment = 0x80014A3C, kArtworkType = 0x80021B5C;

// The item's own joining, one value at a time: what the writer must give, only faster.
void AppendOneByOne(IMediaItem* item, DWORD tag, const std::u16string& text) {
  BSTR existing = nullptr;
  if (FAILED(item->GetString(tag, &existing)) || !existing) {
    item->SetString(tag, text.c_str());
    return;
  }
  std::u16string old(existing);
  SysFreeString(existing);
  if (old == text) return;
  if (tag == TAG_GENRE) {
    BOOL present = FALSE;
    item->HasInstance(TAG_GENRE_COLLECTION, 0, &present);
    if (!present) SetInstanceText(item, TAG_GENRE_COLLECTION, 0, old);
    SetInstanceText(item, TAG_GENRE_COLLECTION, FirstFreeInstance(item, TAG_GENRE_COLLECTION), text);
    if (_wcsicmp(old.c_str(), u"Other") == 0) old.clear();
  }
  const std::u16string joined = old.empty() || text.empty() ? old + text : old + u";" + text;
  if (FAILED(item->SetString(tag, joined.c_str()))) item->SetString(tag, text.c_str());
}

class TagWriting : public DeviceTest {};

TEST_F(TagWriting, AppendedTextIsWhatTheItemJoinsValueByValue) {
  const struct {
    const char* what;
    DWORD tag;
    std::optional<std::u16string> before;
    std::vector<std::u16string> values;
    std::optional<std::u16string> joined;  // none: whatever the item makes of it
  } kCases[] = {
      {"values in order", TAG_GENRE, std::nullopt, {u"Rock", u"Pop", u"Rock"}, u"Rock;Pop;Rock"},
      {"the whole text again adds nothing", TAG_GENRE, std::nullopt, {u"Rock", u"Rock", u"Pop"}, u"Rock;Pop"},
      {"a lone Other gives way", TAG_GENRE, u"Other", {u"Jazz", u"Pop"}, u"Jazz;Pop"},
      {"blanks only leave Other as it was", TAG_GENRE, u"other", {u"  "}, u"other"},
      {"blanks at the ends are cut as the item cuts them", TAG_GENRE, std::nullopt, {u" Rock ", u"Pop  ", u" ", u"Ska"},
       u"Rock;Pop;;Ska"},
      {"a first value of blanks sets nothing", TAG_GENRE, std::nullopt, {u"   ", u"Rock"}, u"Rock"},
      {"what the item held comes first", TAG_GENRE, u"Blues", {u"Blues", u"Soul"}, u"Blues;Soul"},
      {"other text tags join without a collection", kComposer, u"Bach", {u"Handel", u"Bach"}, u"Bach;Handel;Bach"},
      {"number tags convert what they are given", kTrack, std::nullopt, {u"5", u"6"}, std::nullopt},
  };
  for (const auto& c : kCases) {
    ItemHolder reference, written;
    if (c.before) {
      reference->SetString(c.tag, c.before->c_str());
      written->SetString(c.tag, c.before->c_str());
    }
    {
      ItemWriter out(written);
      for (const auto& value : c.values) {
        AppendOneByOne(reference, c.tag, value);
        out.AppendText(c.tag, value);
      }
    }
    if (c.joined) {
      EXPECT_EQ(Narrow(StringTag(written, c.tag)), Narrow(*c.joined)) << c.what;
    }
    EXPECT_EQ(StringTag(written, c.tag), StringTag(reference, c.tag)) << c.what;
    EXPECT_EQ(TextInstances(written, TAG_GENRE_COLLECTION), TextInstances(reference, TAG_GENRE_COLLECTION)) << c.what;
  }
}

TEST_F(TagWriting, ADirectWriteBetweenAppendsSeesTheTextAppendedSoFar) {
  ItemHolder item;
  ItemWriter out(item);
  out.AppendText(TAG_GENRE, u"Rock");
  out.AppendText(TAG_GENRE, u"Pop");
  BSTR seen = nullptr;
  ASSERT_EQ(out.For(TAG_GENRE)->GetString(TAG_GENRE, &seen), S_OK);
  EXPECT_EQ(std::u16string(seen), u"Rock;Pop");
  SysFreeString(seen);
  item->SetString(TAG_GENRE, u"Jazz");
  out.AppendText(TAG_GENRE, u"Soul");
  out.Flush();
  EXPECT_EQ(StringTag(item, TAG_GENRE), u"Jazz;Soul");
  EXPECT_EQ(TextInstances(item, TAG_GENRE_COLLECTION), (std::vector<std::u16string>{u"Rock", u"Pop", u"Soul"}))
      << "instance 0 was there when Jazz came, so the collection goes on after it";
}

TEST_F(TagWriting, FreeInstanceSearchesPickUpWhereTheyEnded) {
  ItemHolder item;
  for (DWORD taken : {0u, 1u, 3u, 10000u}) SetInstanceText(item, kComment, taken, u"x");
  ItemWriter out(item);
  EXPECT_EQ(out.FreeInstance(kComment), 2u) << "the gap";
  EXPECT_EQ(out.FreeInstance(kComment), 2u) << "still free: nothing was written there";
  SetInstanceText(item, kComment, 2, u"x");
  EXPECT_EQ(out.FreeInstance(kComment), 4u);
  SetInstanceText(item, kComment, 4, u"x");
  SetInstanceText(item, kComment, 5, u"written past the writer");
  EXPECT_EQ(out.FreeInstance(kComment), 6u);
  EXPECT_EQ(out.FreeInstance(kComment, 10000), 10001u) << "a search from elsewhere keeps its own place";
  SetInstanceText(item, kComment, 10001, u"x");
  EXPECT_EQ(out.FreeInstance(kComment, 10000), 10002u);
  EXPECT_EQ(out.FreeInstance(kComment), 6u);
  EXPECT_EQ(out.FreeInstance(kComment, 3), 6u) << "a new start searches from there";
}

// The genres of one TCON frame listing `count` numbered genres, read from a whole tag.
std::vector<std::u16string> GenresOfOneFrame(const std::string& text, std::u16string* joined) {
  const Bytes tag = Id3v2Tag({Id3v2Frame("TCON", Id3Text(text))});
  ItemHolder item;
  EXPECT_TRUE(ParseId3v2Frames(tag.data(), static_cast<int>(tag.size()), 0, item));
  *joined = StringTag(item, TAG_GENRE);
  return TextInstances(item, TAG_GENRE_COLLECTION);
}

TEST_F(TagWriting, AGenreFrameAddsAtMost256GenresHoweverManyItLists) {
  std::u16string bounded;
  for (int i = 0; i < 256; ++i) bounded += i == 0 ? u"Classic Rock" : i % 2 ? u";Country" : u";Classic Rock";
  const struct {
    const char* what;
    std::string text;
  } kCases[] = {
      {"a 12 KB tag of 4,000 numbered genres", NumberedGenres(4000)},
      {"40,000 numbered genres", NumberedGenres(40000)},
      {"version 2.4 values apart with zeros count together",
       [] {
         std::string values;
         for (int i = 0; i < 300; ++i) values += std::string(i % 2 ? "2" : "1") + '\0';
         return values;
       }()},
  };
  for (const auto& c : kCases) {
    std::u16string joined;
    const auto collection = GenresOfOneFrame(c.text, &joined);
    EXPECT_EQ(joined, bounded) << c.what;
    ASSERT_EQ(collection.size(), 256u) << c.what;
    EXPECT_EQ(collection.front(), u"Classic Rock");
    EXPECT_EQ(collection.back(), u"Country");
  }
  std::u16string joined;
  EXPECT_EQ(GenresOfOneFrame(NumberedGenres(256), &joined).size(), 256u) << "256 fit whole";
  EXPECT_EQ(joined, bounded);
  EXPECT_EQ(GenresOfOneFrame("(17)(31)Remix", &joined).size(), 3u);
  EXPECT_EQ(joined, u"Rock;Trance;Remix");
}

TEST_F(TagWriting, ManyValuesOfOneTagAreKeptInOrderUpToTheBoundOfARead) {
  constexpr size_t kBound = ItemWriter::kMaxValuesPerTag;
  // Genres in frames under the frame's bound, and comments: the first 1024 of each, in order.
  std::vector<Bytes> frames;
  for (int f = 0; f < 30; ++f) frames.push_back(Id3v2Frame("TCON", Id3Text(NumberedGenres(100))));
  for (int k = 0; k < 1500; ++k) frames.push_back(Id3Comment("comment " + std::to_string(k)));
  const Bytes tag = Id3v2Tag(frames);
  ItemHolder item;
  ASSERT_TRUE(ParseId3v2Frames(tag.data(), static_cast<int>(tag.size()), 0, item));
  const auto genres = TextInstances(item, TAG_GENRE_COLLECTION);
  ASSERT_EQ(genres.size(), kBound);
  EXPECT_EQ(genres[kBound - 1], u"Country");
  EXPECT_EQ(StringTag(item, TAG_GENRE).size(), kBound / 2 * std::u16string(u"Classic Rock;Country;").size() - 1);
  const auto comments = TextInstances(item, kComment);
  ASSERT_EQ(comments.size(), kBound);
  EXPECT_EQ(comments[kBound - 1], u"comment 1023");

  // Tables of contents past the bound still read what follows their child ids.
  constexpr DWORD kTocName = 0x80012FAB, kTocChildId = 0x80012FAF;
  frames.clear();
  for (int t = 0; t < 5; ++t) {
    std::string body = "toc" + std::to_string(t) + std::string("\0\x01\xFF", 3);
    for (int k = 0; k < 255; ++k) body += "ch" + std::to_string(k) + '\0';
    const Bytes name = Id3v2Frame("TIT2", Id3Text("table " + std::to_string(t)));
    frames.push_back(Id3v2Frame("CTOC", body + std::string(name.begin(), name.end())));
  }
  const Bytes tables = Id3v2Tag(frames);
  ItemHolder toc;
  ASSERT_TRUE(ParseId3v2Frames(tables.data(), static_cast<int>(tables.size()), 0, toc));
  EXPECT_EQ(TextInstances(toc, kTocName).back(), u"table 4");
  EXPECT_EQ(TextInstances(toc, kTocChildId).size(), kBound - 4) << "four tables fit, each base counting as one";

  // Windows Media genres, one attribute each.
  std::vector<std::pair<std::string, std::string>> attributes;
  for (int k = 0; k < 400; ++k) attributes.emplace_back("WM/Genre", "g" + std::to_string(k));
  const Bytes header = AsfTextAttributes(attributes);
  ItemHolder asf;
  ReadAsfHeaderObjects(header.data(), header.size(), 1, asf);
  ASSERT_EQ(TextInstances(asf, TAG_GENRE_COLLECTION).size(), 400u);
  EXPECT_EQ(TextInstances(asf, TAG_GENRE_COLLECTION)[399], u"g399");
  EXPECT_EQ(StringTag(asf, TAG_GENRE).substr(0, 9), u"g0;g1;g2;");

  // APE front covers, each at the next artwork instance.
  Bytes items;
  const int covers = 120;
  for (int k = 0; k < covers; ++k) {
    const Bytes item = ApeItem("Cover Art (front)", std::string("c.jpg\0", 6) + std::string(20, static_cast<char>(k)), 1);
    items.insert(items.end(), item.begin(), item.end());
  }
  ItemHolder ape;
  ReadApeItems(items.data(), items.size(), covers, 0, ape);
  EXPECT_EQ(IntInstances(ape, kArtworkType), std::vector<DWORD>(covers, 3));
}

}  // namespace
