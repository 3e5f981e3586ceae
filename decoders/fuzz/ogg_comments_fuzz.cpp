// Fuzz target: any bytes as one Vorbis stream's comment list, a comment a line (as Tremor gives
// them: counted, NUL-terminated, NULs inside allowed), through the comment reader with unhandled
// tags kept. Real files seldom get this far under mutation: their pages carry checksums.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/settings/settings.h"
#include "media_item.h"
#include "ogg_comments.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n')
      lines.emplace_back();
    else
      lines.back().push_back(static_cast<char>(data[i]));
  }
  std::vector<char*> texts;
  std::vector<int> lengths;
  for (std::string& line : lines) {
    texts.push_back(line.data());
    lengths.push_back(static_cast<int>(line.size()));
  }
  vorbis_comment comments{texts.data(), lengths.data(), static_cast<int>(lines.size()), nullptr};
  if (CSettings* settings = GetSettings()) settings->processUnhandledTags = 1;
  CMediaItem* item = CreateMediaItem();
  ReadVorbisCommentList(&comments, item);
  item->Release();
  return 0;
}
