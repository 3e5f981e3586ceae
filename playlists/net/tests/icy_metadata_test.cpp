// ICY metadata taken out of received bytes: however the receives split the body (at every byte
// boundary), the audio comes back byte-exact and the titles in order; a length byte of 0 removes
// only itself; a title that is a prefix of the last one, or empty, is a change.
#include <gtest/gtest.h>

#include "icy_metadata.h"
#include "icy_stream.h"

namespace zb::testing {
namespace {

struct Stripped {
  std::string audio;
  std::vector<std::string> titles;
};

// Runs the body through one demuxer in the pieces given by `cuts`.
Stripped StripInPieces(std::string body, int interval, const std::vector<size_t>& cuts) {
  CIcyMetadata icy;
  icy.Reset(interval);
  Stripped out;
  size_t from = 0;
  std::vector<size_t> ends = cuts;
  ends.push_back(body.size());
  for (size_t end : ends) {
    const int n = icy.Strip(body.data() + from, static_cast<int>(end - from),
                            [&](const char* title) { out.titles.push_back(title); });
    out.audio.append(body.data() + from, static_cast<size_t>(n));
    from = end;
  }
  return out;
}

TEST(IcyMetadata, EveryByteBoundaryGivesTheSameAudioAndTitles) {
  const int interval = 37;
  const std::string audio = AudioPattern(interval * 6 + 11);
  const std::string body = IcyBody(audio, interval, {TitleBlock("One"), IcyBlock(""), TitleBlock("Two"), TitleBlock("One")});
  for (size_t cut = 0; cut <= body.size(); ++cut) {
    for (size_t second : {cut, cut + 1, cut + 17}) {
      if (second > body.size()) continue;
      const Stripped got = StripInPieces(body, interval, {cut, second});
      ASSERT_EQ(got.audio, audio) << "cut at " << cut << " and " << second;
      ASSERT_EQ(got.titles, (std::vector<std::string>{"One", "Two", "One"})) << "cut at " << cut;
    }
  }
}

TEST(IcyMetadata, OneByteAtATime) {
  const std::string audio = AudioPattern(16000 * 3);
  const std::string body = IcyBody(audio, 16000, {TitleBlock("A - B"), TitleBlock("C")});
  std::vector<size_t> cuts;
  for (size_t i = 1; i < body.size(); ++i) cuts.push_back(i);
  const Stripped got = StripInPieces(body, 16000, cuts);
  EXPECT_EQ(got.audio, audio);
  EXPECT_EQ(got.titles, (std::vector<std::string>{"A - B", "C", "A - B"}));
}

TEST(IcyMetadata, TitleChangesAreFoundByComparison) {
  struct Case {
    const char* name;
    std::vector<std::string> titles;
    std::vector<std::string> heard;
  } cases[] = {
      {"a repeated title is heard once", {"Song", "Song", "Song"}, {"Song"}},
      {"a prefix of the last title is a change", {"Song Two", "Song"}, {"Song Two", "Song"}},
      {"a longer title beginning with the last is a change", {"Song", "Song Two"}, {"Song", "Song Two"}},
      {"an empty title after one is a change", {"Song", ""}, {"Song", ""}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> blocks;
    for (const std::string& t : c.titles) blocks.push_back(TitleBlock(t));
    const std::string audio = AudioPattern(8 * c.titles.size());
    const Stripped got = StripInPieces(IcyBody(audio, 8, blocks), 8, {});
    EXPECT_EQ(got.audio, audio) << c.name;
    EXPECT_EQ(got.titles, c.heard) << c.name;
  }
}

TEST(IcyMetadata, ALengthByteOfZeroRemovesOnlyItselfAndBlocksWithoutATitleChangeNothing) {
  const std::string audio = AudioPattern(100);
  const std::string body = IcyBody(audio, 10, {IcyBlock(""), IcyBlock("StreamUrl='http://x/';")});
  EXPECT_EQ(body.size(), audio.size() + 5 * 1 + 5 * (1 + 32));
  const Stripped got = StripInPieces(body, 10, {3, 50});
  EXPECT_EQ(got.audio, audio);
  EXPECT_TRUE(got.titles.empty());
}

TEST(IcyMetadata, WithoutAnIntervalEverythingIsAudio) {
  std::string body = "\x05StreamTitle='x';";
  const Stripped got = StripInPieces(body, 0, {});
  EXPECT_EQ(got.audio, body);
}

}  // namespace
}  // namespace zb::testing
