// The file source's two questions answered from the path alone: the tags a path gives (names,
// file times, size and, when the settings ask, guessed artist, album, title and track), and
// whether an item stored earlier still matches the file on disk.
#include <algorithm>
#include <string>

#include "core/settings/settings.h"
#include "file_source.h"
#include "mediaitem.h"
#include "path_name_guess.h"

#define TAG_DERIVED_TAGS 0x80027533u
#define TAG_FILE_CREATION_DATE TAG_ID(2006, TAG_TYPE_DATE)
#define TAG_FILE_ACCESS_DATE TAG_ID(2007, TAG_TYPE_DATE)
#define TAG_FILE_WRITE_DATE TAG_ID(2008, TAG_TYPE_DATE)

namespace {

// The size tag is a signed 32-bit number: files past 2 GiB keep the largest it can hold, the
// same value CheckItem compares against.
LONG SizeTagValue(const WIN32_FIND_DATAW& data) {
  const ULONGLONG size = static_cast<ULONGLONG>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
  return static_cast<LONG>(std::min<ULONGLONG>(size, 0x7FFFFFFF));
}

ULONGLONG WholeSeconds(const FILETIME& time) {
  const ULONGLONG ticks = static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  return ticks - ticks % 10000000ull;
}

void SetNameTags(IMediaItem* item, const std::u16string& path) {
  item->SetString(TAG_FILE, path.c_str());
  const size_t slash = path.rfind(u'\\');
  if (slash == std::u16string::npos) return;
  item->SetString(TAG_FILE_PATH, path.substr(0, slash).c_str());
  const std::u16string name = path.substr(slash + 1);
  const size_t dot = name.rfind(u'.');
  if (dot == std::u16string::npos) {
    item->SetString(TAG_FILE_NAME, name.c_str());
  } else {
    item->SetString(TAG_FILE_NAME, name.substr(0, dot).c_str());
    item->SetString(TAG_FILE_EXTENSION, name.substr(dot + 1).c_str());
  }
}

void SetFileTags(IMediaItem* item, LPCWSTR path) {
  BOOL unreachable = FALSE;
  IsNetworkPath(path, &unreachable);
  if (unreachable) return;
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW(path, &data);
  if (find == INVALID_HANDLE_VALUE) return;
  FindClose(find);
  item->SetFileTime(TAG_FILE_CREATION_DATE, &data.ftCreationTime);
  item->SetFileTime(TAG_FILE_ACCESS_DATE, &data.ftLastAccessTime);
  item->SetFileTime(TAG_FILE_WRITE_DATE, &data.ftLastWriteTime);
  item->SetInt(TAG_SIZE, SizeTagValue(data));
}

bool HasTag(IMediaItem* item, DWORD id) {
  LONG index = -1;
  return SUCCEEDED(item->IndexOfTag(id, &index)) && index >= 0;
}

bool HasString(IMediaItem* item, DWORD id) {
  BSTR value = nullptr;
  const bool present = SUCCEEDED(item->GetString(id, &value));
  SysFreeString(value);
  return present;
}

// Each guessed tag is listed in TAG_DERIVED_TAGS, so the library knows it was not read.
class DerivedWriter {
 public:
  DerivedWriter(IMediaItem* item, bool replace) : item_(item), replace_(replace) {
    DWORD value = 0, size = sizeof value;
    while (SUCCEEDED(item_->GetInstance(TAG_DERIVED_TAGS, next_, &value, &size))) {
      ++next_;
      size = sizeof value;
    }
  }
  void String(DWORD id, const std::u16string& value) {
    if (value.empty() || (!replace_ && HasString(item_, id))) return;
    Mark(id);
    item_->SetString(id, value.c_str());
  }
  void Int(DWORD id, int value) {
    LONG existing = 0;
    if (value <= 0 || (!replace_ && SUCCEEDED(item_->GetInt(id, &existing)))) return;
    Mark(id);
    item_->SetInt(id, value);
  }

 private:
  void Mark(DWORD id) { item_->SetInstance(TAG_DERIVED_TAGS, next_++, &id, sizeof id); }
  IMediaItem* item_;
  bool replace_;
  DWORD next_ = 0;
};

void GuessTags(IMediaItem* item, const std::u16string& path) {
  const CSettings* settings = GetSettings();
  if (!settings || settings->formattingSmart == 0) return;
  const bool replace = settings->formattingReplaceAny != 0;
  const int present = HasTag(item, TAG_ARTIST) + HasTag(item, TAG_SONG_TITLE) + HasTag(item, TAG_ALBUM);
  if (replace ? present == 3 : present > 0) return;
  const NameGuess guess = GuessFromPath(path, static_cast<int>(settings->formattingComplexity));
  DerivedWriter write(item, replace);
  write.String(TAG_ARTIST, guess.artist);
  write.String(TAG_SONG_TITLE, guess.title);
  write.String(TAG_ALBUM, guess.album);
  write.Int(TAG_TRACK_NUMBER, guess.track);
}

}  // namespace

HRESULT FileReaderReadInfo(InputSource* source, LPCWSTR path, IMediaItem* item) {
  if (!source || !path || !item || path[0] != u'\\') return E_FAIL;
  const std::u16string text(path);
  SetNameTags(item, text);
  SetFileTags(item, path);
  GuessTags(item, text);
  return S_OK;
}

HRESULT FileReaderCheckItem(InputSource* source, LPCWSTR path, int count, const WIN32_FIND_DATAW* findData,
                            IMediaItem* item, BOOL* changed) {
  if (!item || !changed || !source || !path || path[0] != u'\\' || count != 1 || !findData) return E_FAIL;
  *changed = FALSE;
  LONG size = 0;
  FILETIME written{};
  const bool same = SUCCEEDED(item->GetInt(TAG_SIZE, &size)) && size == SizeTagValue(*findData) &&
                    SUCCEEDED(item->GetFileTime(TAG_FILE_WRITE_DATE, &written)) &&
                    WholeSeconds(written) == WholeSeconds(findData->ftLastWriteTime);
  if (!same) *changed = TRUE;
  return S_OK;
}
