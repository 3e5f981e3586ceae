// Smart playlists over a seeded media library: the queries of the document run through the
// player callback against a real library, and the list is shuffled, sorted and cut, with its
// limits applied after sorting; a document of a newer version yields nothing.
#include <filesystem>

#include "feed_test_support.h"
#include "media_item.h"
#include "media_library.h"
#include "tagids.h"
#include "testing/test_device.h"

namespace {

using namespace feedtest;

class QuietSink : public ILibraryScanSink {
 public:
  STDMETHODIMP QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP_(DWORD) GetScanPass() override { return 0; }
  STDMETHODIMP_(LONG) GetMark() override { return 2; }
  STDMETHODIMP_(void) Reserved() override {}
  STDMETHODIMP_(void) OnLibraryOpened() override {}
  STDMETHODIMP_(void) OnLibraryAvailable() override {}
  STDMETHODIMP_(void) OnLibraryUnavailable() override {}
};

CMediaLibrary* g_library = nullptr;

// The player's query messages, served by the test's library.
int LibraryCallback(UINT id, void* in, UINT inSize, void* out, UINT outSize) {
  if (id == PLAYER_MSG_CREATE_QUERY_ITEM && out) return g_library->CreateItem(static_cast<IMediaItem**>(out)) == S_OK ? 0 : -1;
  if (id == PLAYER_MSG_QUERY_MEDIA && in && out)
    return SUCCEEDED(g_library->QueryMedia(static_cast<IMediaItem*>(in), static_cast<IMediaList**>(out))) ? 0 : -1;
  return DecoderCallback(id, in, inSize, out, outSize);
}

// Eight songs of two artists; song n has rating 10 x n and lasts n minutes.
class SmartPlaylist : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(device_.Host("Library"));
    library_ = new CMediaLibrary(GetModuleHandleW(nullptr), &sink_);
    ASSERT_EQ(library_->Start(u"\\Library\\metadata.db", 7), S_OK);
    g_library = library_;
    for (int n = 1; n <= 8; ++n) {
      CMediaItem* item = CreateMediaItem();
      const std::u16string source = u"\\Music\\song" + std::u16string(1, static_cast<char16_t>(u'0' + n)) + u".mp3";
      item->SetSource(source.c_str());
      item->SetString(TAG_ARTIST, n % 2 ? u"Odd Band" : u"Even Band");
      item->SetString(TAG_SONG_TITLE, source.c_str());
      item->SetInt(TAG_RATING, n * 10);
      item->SetInt(TAG_LENGTH, n * 60000);
      ASSERT_EQ(library_->StoreItem(item), S_OK);
      item->Release();
    }
  }
  void TearDown() override {
    g_library = nullptr;
    if (library_) {
      library_->Close(FALSE);
      library_->Release();
    }
  }

  // The sources the document yields, one a line with "\Music\song" left out.
  std::string Run(const std::u16string& document, int* result = nullptr) {
    CallbackScope scope(LibraryCallback);
    Parsed parsed = Parse(document, u"\\My Documents\\smart.pspl");
    if (!parsed.parser) return "(no parser)";
    if (result) *result = parsed.result;
    std::string listing = Shown(parsed.parser->GetTitle()) + ":";
    for (int i = 0; i < parsed.parser->GetItemCount(); ++i) {
      const std::u16string& url = parsed.parser->GetItem(i)->url;
      listing += " " + Shown(url.substr(url.rfind(u'g') + 1, 1));
    }
    return listing;
  }

  zb::testing::TestDevice device_;
  QuietSink sink_;
  CMediaLibrary* library_ = nullptr;
};

std::u16string Document(const std::u16string& version, const std::u16string& body) {
  return u"<?xml version=\"1.0\"?><pspl version=\"" + version + u"\"><head><title>Picks</title></head><body>" + body +
         u"</body></pspl>";
}

TEST_F(SmartPlaylist, QueriesSortsAndLimitsInThatOrder) {
  const std::u16string odd = u"<query><match name=\"Artist\">Odd Band</match></query>";
  const std::u16string even = u"<query><match name=\"Artist\">Even Band</match></query>";
  const struct {
    const char* name;
    std::u16string body;
    const char* listing;
  } cases[] = {
      {"one query, sorted", odd + u"<pragma directive=\"sortasc\" value=\"Rating\"/>", "Picks: 1 3 5 7"},
      {"two queries, sorted down", odd + even + u"<pragma directive=\"sortdec\" value=\"Rating\"/>",
       "Picks: 8 7 6 5 4 3 2 1"},
      // "Top 3 by rating" are the three best rated, not the first three found, then sorted.
      {"count after sorting",
       odd + even + u"<pragma directive=\"count\" value=\"3\"/><pragma directive=\"sortdec\" value=\"Rating\"/>",
       "Picks: 8 7 6"},
      // 8 + 7 minutes fit in 16; the next song would pass the limit.
      {"duration after sorting",
       odd + even + u"<pragma directive=\"duration\" value=\"960\"/><pragma directive=\"sortdec\" value=\"Rating\"/>",
       "Picks: 8 7"},
      {"duration and count: the smaller wins",
       odd + even +
           u"<pragma directive=\"sortasc\" value=\"Rating\"/><pragma directive=\"duration\" value=\"3600\"/>"
           u"<pragma directive=\"count\" value=\"4\"/>",
       "Picks: 1 2 3 4"},
      {"a query that finds nothing", u"<query><match name=\"Artist\">Nobody</match></query>", "Picks:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int result = -1;
    EXPECT_EQ(Run(Document(u"1.0", c.body), &result), c.listing);
    EXPECT_EQ(result, 1);
  }
}

TEST_F(SmartPlaylist, RandomOrderKeepsEveryMatchOnce) {
  const std::string listing = Run(Document(u"1.0", u"<query><match name=\"Artist\">Even Band</match></query>"
                                                   u"<pragma directive=\"randomize\" value=\"1\"/>"));
  for (const char* song : {" 2", " 4", " 6", " 8"}) EXPECT_NE(listing.find(song), std::string::npos) << listing;
  EXPECT_EQ(listing.size(), std::string("Picks: 2 4 6 8").size());
}

TEST_F(SmartPlaylist, ANewerVersionYieldsNothing) {
  const std::u16string body = u"<query><match name=\"Artist\">Odd Band</match></query>";
  int result = -1;
  // Not even its title is read.
  EXPECT_EQ(Run(Document(u"2.0", body), &result), ":");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Run(Document(u"1.1", body), &result), ":");
  EXPECT_EQ(Run(Document(u"1.0", body), &result), "Picks: 1 3 5 7");
}

}  // namespace
