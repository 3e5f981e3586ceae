// zbfeed: parses a feed or directory document (RSS, OPML, the radio directory's lists, smart
// playlists, ASX) and prints its title and the entries it yields, so a publisher's feed can be
// tried by hand. The player's decoders say which MIME types and extensions play.
//
//   zbfeed FILE     a host file (a device path when it begins with "\")
//   zbfeed URL      fetched through the player's HTTP client
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/interface/player_messages.h"
#include "core/modules/decoder_choice.h"
#include "core/modules/module_lists.h"
#include "feed_document.h"
#include "feed_parser.h"
#include "feed_player.h"
#include "http_fetch.h"
#include "mp3_decoder.h"
#include "ogg_decoder.h"
#include "wave_decoder.h"
#include "wma_decoder.h"

namespace {

constexpr char kUsage[] =
    "usage: zbfeed FILE-or-URL\n"
    "  prints the document's title, then one line per entry it yields:\n"
    "  URL | title | identifier | length in ms (-2 unknown, -1 not timed) | kind (0 medium, 1 link)\n"
    "  FILE is a host file, or a device path beginning with \\; a URL is fetched over HTTP\n";

// The player's answers from its built-in decoders.
int DecoderAnswers(UINT id, void* in, UINT, void* out, UINT outSize) {
  if (!in || !out || outSize != sizeof(DWORD)) return -1;
  const LPCWSTR text = static_cast<LPCWSTR>(in);
  if (id == PLAYER_MSG_IS_PLAYABLE_MIME) *static_cast<DWORD*>(out) = LookupDecoderByMime(text) != nullptr;
  if (id == PLAYER_MSG_IS_PLAYABLE_EXTENSION)
    *static_cast<DWORD*>(out) = ChooseDecoder((std::u16string(u"\\dummy") + text).c_str()) != nullptr;
  return -1;
}

std::string Shown(const std::u16string& text) {
  std::string shown;
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(needed > 0 ? static_cast<size_t>(needed) : 0, '\0');
  if (needed > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), needed, nullptr, nullptr);
  for (char c : utf8) shown += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  return shown;
}

std::u16string Wide(const std::string& utf8) {
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::u16string wide(needed > 0 ? static_cast<size_t>(needed) : 0, u'\0');
  if (needed > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), needed);
  return wide;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string argument = argc == 2 ? argv[1] : "";
  if (argc != 2 || argument == "--help" || argument == "-h") {
    std::fputs(kUsage, argc == 2 ? stdout : stderr);
    return argc == 2 ? 0 : 2;
  }
  for (DecModule* decoder : {&Mp3Decoder, &OggDecoder, &WmaDecoder, &WaveDecoder}) RegisterDecModule(decoder, nullptr, nullptr);
  SetFeedPlayerCallback(DecoderAnswers);

  const std::u16string source = Wide(argument);
  std::u16string text;
  if (argument.find("://") != std::string::npos) {
    std::string bytes;
    HttpFetchResult fetched;
    if (HttpFetchToBuffer(source.c_str(), &bytes, &fetched) < 0) {
      std::fprintf(stderr, "zbfeed: %s: %s\n", argument.c_str(), fetched.error.c_str());
      return 1;
    }
    if (!DecodeFeedDocument(bytes, -1, text)) {
      std::fprintf(stderr, "zbfeed: %s: the document's encoding cannot be read\n", argument.c_str());
      return 1;
    }
  } else if (argument.starts_with("\\")) {
    if (!ReadFeedDocument(source.c_str(), -1, text)) {
      std::fprintf(stderr, "zbfeed: cannot read %s on the device\n", argument.c_str());
      return 1;
    }
  } else {
    std::ifstream file(argument, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    if (!file || !DecodeFeedDocument(bytes.str(), -1, text)) {
      std::fprintf(stderr, "zbfeed: cannot read %s\n", argument.c_str());
      return 1;
    }
  }
  std::unique_ptr<CFeedParser> parser(CreateFeedParser(text.c_str()));
  if (!parser) {
    std::fprintf(stderr, "zbfeed: %s: not a feed or directory document (its root element is unknown)\n", argument.c_str());
    return 1;
  }
  const int ok = parser->Parse(text.c_str(), source.c_str());
  std::printf("title %s\n", Shown(parser->GetTitle()).c_str());
  for (int i = 0; i < parser->GetItemCount(); ++i) {
    const FeedItem* item = parser->GetItem(i);
    std::printf("%s | %s | %s | %ld | %lu\n", Shown(item->url).c_str(), Shown(item->title).c_str(),
                Shown(item->identifier).c_str(), static_cast<long>(item->length), static_cast<unsigned long>(item->kind));
  }
  if (!ok) {
    const std::u16string error = parser->GetError();
    std::fprintf(stderr, "zbfeed: %s: %s\n", argument.c_str(), error.empty() ? "the document yields nothing" : Shown(error).c_str());
    return 1;
  }
  return 0;
}
