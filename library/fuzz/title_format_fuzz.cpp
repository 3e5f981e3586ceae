// Fuzz target: any text as a title format against an item with a few tags. The evaluation may
// fail, but must not fault, and a result never exceeds the title's limit.
#include <cstddef>
#include <cstdint>
#include <string>

#include "media_item.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static CMediaItem* item = [] {
    CMediaItem* it = CreateMediaItem();
    it->SetSource(u"\\Storage Card\\Music\\waterloo.mp3");
    it->SetString(TAG_ARTIST, u"Abba");
    it->SetString(TAG_SONG_TITLE, u"Waterloo");
    it->SetString(TAG_FILE_NAME, u"waterloo.mp3");
    it->SetInt(TAG_TRACK_NUMBER, 7);
    it->SetInt(TAG_LENGTH, 185000);
    it->SetFloat(TAG_REPLAYGAIN_TRACK_GAIN, -6.5f);
    return it;
  }();
  std::u16string format(data, data + size);
  for (char16_t& c : format)
    if (c == 0) c = u' ';
  BSTR title = nullptr;
  LONG missing = 0;
  if (SUCCEEDED(item->FormatTitle(MEDIAITEM_TITLE_FORMAT, 0, format.c_str(), &title, &missing))) {
    if (SysStringLen(title) > 518) __builtin_trap();
    SysFreeString(title);
  }
  return 0;
}
