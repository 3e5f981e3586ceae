// Fuzz target: any bytes, decoded as a feed document and parsed by the parser its root element
// names, must end with a result and readable entries, never a fault. The player answers that
// every type plays, so the description scraper and the station filter run too.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/interface/player_messages.h"
#include "feed_document.h"
#include "feed_parser.h"
#include "feed_player.h"

namespace {
int EverythingPlays(UINT id, void* in, UINT, void* out, UINT outSize) {
  if ((id == PLAYER_MSG_IS_PLAYABLE_MIME || id == PLAYER_MSG_IS_PLAYABLE_EXTENSION) && out && outSize == 4)
    *static_cast<DWORD*>(out) = 1;
  return -1;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SetFeedPlayerCallback(EverythingPlays);
  std::u16string text;
  if (!DecodeFeedDocument(std::string_view(reinterpret_cast<const char*>(data), size), -1, text)) return 0;
  std::unique_ptr<CFeedParser> parser(CreateFeedParser(text.c_str()));
  if (!parser) return 0;
  parser->Parse(text.c_str(), u"http://fuzz.example/dir/feed\r\nX-OPML-Branch: a\\b\r\n");
  size_t total = parser->GetTitle().size();
  for (int i = 0; i < parser->GetItemCount(); ++i) total += parser->GetItem(i)->url.size();
  if (parser->GetItem(parser->GetItemCount())) __builtin_trap();
  return total == static_cast<size_t>(-1) ? 1 : 0;
}
