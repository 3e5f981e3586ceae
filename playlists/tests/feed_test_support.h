// What the feed parser tests share: a player callback that knows a few decoders' MIME types and
// extensions, documents read from the corpus, and a parser's result as one line per entry.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/interface/player_messages.h"
#include "feed_document.h"
#include "feed_parser.h"
#include "feed_player.h"
#include "script_text.h"

namespace feedtest {

inline bool InTable(const void* in, std::initializer_list<const char16_t*> table) {
  for (const char16_t* entry : table) {
    if (_wcsicmp(static_cast<LPCWSTR>(in), entry) == 0) return true;
  }
  return false;
}

// The decoders of the player as the feed parsers ask about them; other ids get no answer.
inline int DecoderCallback(UINT id, void* in, UINT inSize, void* out, UINT outSize) {
  if (!in || !out || outSize != sizeof(DWORD)) return -1;
  if (id == PLAYER_MSG_IS_PLAYABLE_MIME) {
    *static_cast<DWORD*>(out) = InTable(in, {u"audio/mpeg", u"audio/ogg", u"audio/x-ms-wma", u"audio/x-wav"});
  } else if (id == PLAYER_MSG_IS_PLAYABLE_EXTENSION) {
    *static_cast<DWORD*>(out) = InTable(in, {u".mp3", u".ogg", u".wma", u".wav"});
  }
  return -1;
}

// Sets a callback for the test's lifetime.
class CallbackScope {
 public:
  explicit CallbackScope(PlayerCallbackFn callback) { SetFeedPlayerCallback(callback); }
  ~CallbackScope() { SetFeedPlayerCallback(nullptr); }
};

inline std::string CorpusBytes(const std::string& name) {
  std::ifstream file(std::filesystem::path(PLAYLIST_CORPUS) / "feeds" / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// Line breaks inside URLs (the header lines they carry) shown as \r\n.
inline std::string Shown(const std::u16string& text) {
  std::string shown;
  for (char c : ToUtf8(text)) shown += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  return shown;
}

// "title" then one line per entry: url | title | identifier | length | kind.
inline std::string Listing(const CFeedParser& parser) {
  std::string listing = "title " + Shown(parser.GetTitle()) + "\n";
  for (int i = 0; i < parser.GetItemCount(); ++i) {
    const FeedItem* item = parser.GetItem(i);
    listing += Shown(item->url) + " | " + Shown(item->title) + " | " + Shown(item->identifier) + " | " +
               std::to_string(item->length) + " | " + std::to_string(item->kind) + "\n";
  }
  return listing;
}

struct Parsed {
  std::unique_ptr<CFeedParser> parser;
  int result = -1;
};

inline Parsed Parse(const std::u16string& text, const std::u16string& source) {
  Parsed parsed{std::unique_ptr<CFeedParser>(CreateFeedParser(text.c_str()))};
  if (parsed.parser) parsed.result = parsed.parser->Parse(text.c_str(), source.c_str());
  return parsed;
}

inline Parsed ParseBytes(const std::string& bytes, const std::u16string& source, int fallback = -1) {
  std::u16string text;
  if (!DecodeFeedDocument(bytes, fallback, text)) return {};
  return Parse(text, source);
}

}  // namespace feedtest
