// A playlist entry's title and length, read for the playlist: from the media library's item when
// it has one, else from the decoder that would play the path. An entry that yields nothing has
// its attempts counted, and a path whose open failed is not tried again for 60 s.
#include "core/player/core_media_library.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "playlist.h"

namespace {

constexpr DWORD kEnoughMemory = 0x40000;
constexpr ULONGLONG kFailureMemoTicks = 600000000;  // 60 s in FILETIME units
constexpr DWORD kTitleFormatLength = 1024;
constexpr size_t kTitleChars = 520;
constexpr DWORD kTagLength = 0x203EC;
constexpr DWORD kTagEntryComplete = 0x27595;
constexpr int kUnknownLength = -2;
// Open results that say the path will never open (missing, refused), ending the attempts.
constexpr int kOpenMissing = -2;
constexpr int kOpenRefused = -2250;
constexpr LONG kLastCountedAttempt = 4;

ULONGLONG Ticks(const FILETIME& time) { return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime; }

bool EnoughMemory() {
  MEMORYSTATUS memory = {};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatus(&memory);
  STORE_INFORMATION store = {};
  return memory.dwAvailPhys >= kEnoughMemory && memory.dwAvailVirtual >= kEnoughMemory &&
         GetStoreInformation(&store) && store.dwFreeSize >= kEnoughMemory;
}

LONG IntTag(IMediaItem* item, DWORD tag) {
  LONG value = 0;
  return item && SUCCEEDED(item->GetInt(tag, &value)) ? value : 0;
}

// The title by the setting songTitleFormat, through the item's direct interface.
std::u16string FormattedTitle(IMediaItem* item) {
  CSettings* settings = GetSettings();
  IMediaItem* direct = nullptr;
  if (!settings || FAILED(item->QueryInterface(IID_IMediaItemDirect, reinterpret_cast<void**>(&direct))) || !direct)
    return {};
  BSTR title = nullptr;
  LONG missing = 0;
  std::u16string text;
  if (SUCCEEDED(direct->FormatTitle(MEDIAITEM_TITLE_FORMAT, kTitleFormatLength, settings->songTitleFormat, &title, &missing)) &&
      title)
    text.assign(title, std::min<size_t>(wcslen(title), kTitleChars - 1));
  SysFreeString(title);
  direct->Release();
  return text;
}

}  // namespace

void CPlayerCore::ReadItemInfo(CPlaylist* playlist, int index, LPCWSTR path, int skipLibraryCheck, int validate) {
  if (!playlist) playlist = playlist_.get();
  std::u16string current;
  if (index == -1 && !path) {
    index = playlist->GetCurrentPath(current);
    path = current.c_str();
    CSettings* settings = GetSettings();
    if (settings && settings->readTitles) {
      RefreshNowPlaying();
      return;
    }
  }
  if (!path || !*path) return;
  DecModule* record = nullptr;
  InputSource* source = nullptr;
  BindDecoder(path, &record, &source, nullptr);
  if (!record || !source) return;

  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  if (!failedPath_.empty() && failedPath_ == path && Ticks(now) - Ticks(failedAt_) < kFailureMemoTicks) return;
  const bool enoughMemory = EnoughMemory();
  if (!skipLibraryCheck && enoughMemory) UpdateLibraryEntry(GetMediaLibrary(), path, record);

  std::u16string title;
  int length = kUnknownLength;
  if (!validate) {
    IMediaItem* item = FindLibraryItem(path);
    if (item) {
      title = FormattedTitle(item);
      const LONG stored = IntTag(item, kTagLength);
      if (stored > 0) length = stored;
    }
    // A complete library entry without a title stays without one.
    const bool complete = item && IntTag(item, kTagEntryComplete) != 0;
    if (item) item->Release();
    if (title.empty() && !complete && record->GetFileInfo) {
      CSourceCopy copy;
      copy.Reset(source);
      WCHAR buffer[kTitleChars] = {};
      record->GetFileInfo(copy.get(), path, buffer, &length);
      buffer[kTitleChars - 1] = 0;
      title = buffer;
    }
  }
  if (!title.empty() || length != kUnknownLength) {
    playlist->SetItemInfo(index, path, title.empty() ? nullptr : title.c_str(), length);
    if (failedPath_ == path) failedPath_.clear();
    return;
  }

  if (!enoughMemory) {
    playlist->MarkItemResult(index, TRUE);
    return;
  }
  const LONG attempts = playlist->GetItemStatus(index);
  if (!validate) {
    if (attempts == 0) return;
    if (attempts != kLastCountedAttempt) {
      playlist->MarkItemResult(index, attempts > kLastCountedAttempt);
      return;
    }
  }
  CSourceCopy copy;
  copy.Reset(source);
  const int opened = copy.get()->Open ? copy.get()->Open(copy.get(), path) : -1;
  if (opened >= 0) {
    if (copy.get()->Close) copy.get()->Close(copy.get());
    if (failedPath_ == path) failedPath_.clear();
    playlist->MarkItemResult(index, validate ? TRUE : FALSE);
  } else if (opened == kOpenMissing || opened == kOpenRefused) {
    playlist->MarkItemResult(index, TRUE);
  } else {
    failedPath_ = path;
    failedAt_ = now;
  }
}
