// The choice of decoder and stream source over lists the tests lay out: extension filters first
// (whole extensions, first record wins), then the claim functions (last claim wins), then the
// MIME type a claiming source reports, looked up in the registry or in the decoders' own lists.
#include <gtest/gtest.h>

#include "core/modules/decoder_choice.h"
#include "core/settings/registry_values.h"
#include "core/modules/stream_sources.h"
#include "core/transport/transport_neighbours.h"
#include "device/text.h"
#include "product_device.h"

namespace zb::testing {
namespace {

int ClaimsHttp(LPCWSTR path) { return _wcsnicmp(path, u"http://", 7) == 0 ? 1 : 0; }
int ClaimsNothing(LPCWSTR) { return 0; }

int TestMimeTypes(int index, LPWSTR buffer, int chars) {
  const WCHAR* const types[] = {u"audio/x-first", u"audio/x-test"};
  if (index < 0 || index >= 2) return 0;
  lstrcpynW(buffer, types[index], chars);
  return 1;
}

DecModule Record(const char16_t* description, const char16_t* filter, int (*claims)(LPCWSTR) = nullptr,
                 int (*mime)(int, LPWSTR, int) = nullptr) {
  DecModule record{};
  record.version = DEC_MODULE_VERSION;
  record.description = description;
  record.fileExtensions = filter;
  record.IsOurFile = claims;
  record.GetMimeType = mime;
  return record;
}

// A source that claims "daap://" and reports the MIME type "audio/x-test" for it.
int ClaimsDaap(InputSource*, LPCWSTR path) { return _wcsnicmp(path, u"daap://", 7) == 0 ? 1 : 0; }
int ReportsMime(InputSource*, UINT id, void* in, UINT inSize, void* out, UINT outSize) {
  if (id != SOURCE_PROPERTY_MIME_TYPE || !in || !out || outSize < 200) return -1;
  // The path comes with its size in bytes, terminator included.
  if (inSize != (wcslen(static_cast<LPCWSTR>(in)) + 1) * sizeof(WCHAR)) return -1;
  wcscpy(static_cast<LPWSTR>(out), u"AUDIO/X-TEST");
  return 0;
}

InputSource Provider(WORD version) {
  InputSource source{};
  source.version = version;
  source.ClaimsPath = ClaimsDaap;
  source.Control = ReportsMime;
  return source;
}

class DecoderChoice : public ::testing::Test {
 protected:
  DecoderChoice() {
    // The registry knows one MIME type by its extension.
    RegKey key;
    key.Create(HKEY_CLASSES_ROOT, u"MIME\\Database\\Content Type\\audio/x-registered");
    WriteRegText(key.get(), u"Extension", u".ogg");
  }
  ProductDevice device_;
  DecModule mp3_ = Record(u"mp3", u"*.MP3;*.MP2");
  DecModule mp3Later_ = Record(u"mp3 later", u"*.MP3");
  DecModule ogg_ = Record(u"ogg", u"*.OGG", ClaimsHttp);
  DecModule wma_ = Record(u"wma", u"*.WMA;*.ASF", ClaimsHttp, TestMimeTypes);
  DecModule none_ = Record(u"none", nullptr, ClaimsNothing);
  std::vector<DecModule*> decoders_ = {&mp3_, &mp3Later_, &ogg_, &wma_, &none_};
  InputSource provider_ = Provider(2);
  std::vector<InputSource*> sources_ = {&provider_};
};

TEST_F(DecoderChoice, ExtensionsClaimsAndMimeTypesPickTheDecoderInThatOrder) {
  const struct {
    const char16_t* path;
    const DecModule* chosen;
  } cases[] = {
      {u"x.Mp3", &mp3_},                         // any case; the first record that lists it
      {u"\\Music\\song.mp2", &mp3_},
      {u"\\Music\\song.WMA", &wma_},
      {u"http://host/a.ogg", &ogg_},            // no '\': the extension after the last '/'
      {u"http://host/a.mp3?ext=.wma", &wma_},   // the retry suffix steers the choice
      {u"http://host/stream", &wma_},           // no extension: the last record that claims it
      {u"\\Music.d\\song", nullptr},            // the dot lies before the last '\'
      {u"\\Music\\song.P3", nullptr},           // only whole extensions: "P3" is not "MP3"
      {u"\\Music\\song.MP", nullptr},
      {u"\\Music\\song.MP3X", nullptr},
      {u"daap://host/7", &wma_},                // the source's MIME type, found in the decoder's list
      {u"x.a", nullptr},                        // shorter than 4 characters
      {nullptr, nullptr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseDecoderFrom(decoders_, sources_, c.path), c.chosen) << (c.path ? ToUtf8(c.path) : "null");
  }
}

TEST_F(DecoderChoice, OnlyWholeExtensionsMatchAFilter) {
  const struct {
    const char16_t* filter;
    const char16_t* extension;
    bool holds;
  } cases[] = {
      {u"*.MP3;*.MP2", u"mp3", true},   {u"*.MP3;*.MP2", u"MP2", true}, {u"*.MP3;*.MP2", u"P3", false},
      {u"*.MP3;*.MP2", u"MP", false},   {u"*.MP3;*.MP2", u"MP3;", false}, {u"*.MP3", u"", false},
      {u"", u"MP3", false},             {u"*.M4A;*.AAC;*.MP4", u"aac", true},
  };
  for (const auto& c : cases) {
    DecModule record = Record(u"r", c.filter);
    EXPECT_EQ(DecoderFilterHolds(&record, c.extension), c.holds) << ToUtf8(c.filter) << " / " << ToUtf8(c.extension);
  }
  DecModule noFilter = Record(u"r", nullptr);
  EXPECT_FALSE(DecoderFilterHolds(&noFilter, u"MP3"));
}

TEST_F(DecoderChoice, TheExtensionIsTakenAfterTheLastSeparator) {
  const struct {
    const char16_t* path;
    const char16_t* extension;
  } cases[] = {
      {u"\\a\\b.mp3", u"mp3"},   {u"\\a.b\\c", u""},     {u"http://h/x.y/z", u""},
      {u"http://h/x.ogg", u"ogg"}, {u"\\a\\b.tar.gz", u"gz"}, {u"name.mp3", u"mp3"}, {u"\\a\\b.", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(PathExtension(c.path), c.extension) << ToUtf8(c.path);
}

TEST_F(DecoderChoice, AMimeTypeIsFoundByTheRegistryOrByTheDecodersLists) {
  EXPECT_EQ(LookupDecoderByMimeFrom(decoders_, sources_, u"audio/x-registered"), &ogg_);
  EXPECT_EQ(LookupDecoderByMimeFrom(decoders_, sources_, u"Audio/X-Test"), &wma_);
  EXPECT_EQ(LookupDecoderByMimeFrom(decoders_, sources_, u"audio/x-first"), &wma_);
  EXPECT_EQ(LookupDecoderByMimeFrom(decoders_, sources_, u"audio/unknown"), nullptr);
  EXPECT_EQ(LookupDecoderByMimeFrom(decoders_, sources_, u""), nullptr);
  EXPECT_EQ(LookupDecoderByMimeFrom(decoders_, sources_, nullptr), nullptr);
}

TEST_F(DecoderChoice, OnlySourcesOfVersion2OrLaterReportMimeTypes) {
  InputSource old = Provider(1);
  std::vector<InputSource*> oldSources = {&old};
  EXPECT_EQ(ChooseDecoderFrom(decoders_, oldSources, u"daap://host/7"), nullptr);
  std::vector<DecModule*> withoutLists = {&mp3_, &ogg_};
  EXPECT_EQ(ChooseDecoderFrom(withoutLists, sources_, u"daap://host/7"), nullptr);
}

TEST_F(DecoderChoice, TheSchemeChoosesTheStreamSource) {
  InputSource claims3 = Provider(3);
  std::vector<InputSource*> providers = {&provider_, &claims3};
  CreateDirectoryW(u"\\Music", nullptr);
  const struct {
    const char16_t* path;
    InputSource* source;
  } cases[] = {
      {nullptr, EmptySource()},
      {u"\\Music\\missing.mp3", FileReaderSource()},
      {u"http://host/a.mp3", HttpStreamSource()},
      {u"HTTP://host/a.mp3", HttpStreamSource()},
      {u"rtsp://host/a", NetworkPassThroughSource()},
      {u"mms://host/a", NetworkPassThroughSource()},
      {u"daap://host/7", &claims3},               // the version-3 provider, not the version-2 one
      {u"Music/missing.mp3", HttpStreamSource()},  // no such file: taken as a stream
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseSourceFrom(providers, c.path), c.source) << (c.path ? ToUtf8(c.path) : "null");
  }
}

TEST_F(DecoderChoice, ThePassThroughSourceOpensAnythingAndTheEmptySourceNothing) {
  InputSource* pass = NetworkPassThroughSource();
  EXPECT_EQ(pass->Open(pass, u"rtsp://host/a"), 0);
  EXPECT_EQ(pass->IsSeekable(pass), 0);
  EXPECT_NE(pass->flags & INPUT_SOURCE_FLAG_LIVE, 0);
  char buffer[16];
  EXPECT_EQ(pass->Read(pass, buffer, 1, sizeof buffer), 0);
  WCHAR title[MAX_PATH];
  EXPECT_EQ(*pass->GetTitle(pass, u"rtsp://host/a", title), 0);
  EXPECT_STREQ(ToUtf8(title).c_str(), "rtsp://host/a");
  InputSource* empty = EmptySource();
  EXPECT_LT(empty->Open(empty, u"\\x"), 0);
  EXPECT_EQ(empty->GetLength(empty), 0u);
}

}  // namespace
}  // namespace zb::testing
