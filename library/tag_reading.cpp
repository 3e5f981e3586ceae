// ReadTagsFromFile: the decoder's stream information first, then one generic reader per flag of
// its result code, the stream's title and information, and the media type and source
// collection that every item read from a file carries.
#include <mutex>
#include <vector>

#include "media_item.h"
#include "tag_reading.h"
#include "wide_text.h"

namespace {

std::mutex g_readersLock;
TagReaders g_readers{};

TagReaders Readers() {
  std::lock_guard lock(g_readersLock);
  return g_readers;
}

struct NetworkState {
  bool network;
  bool connected;
};

NetworkState ClassifyPath(const TagReaders& readers, LPCWSTR path) {
  if (!readers.IsNetworkPath) return {false, true};
  BOOL notConnected = FALSE;
  bool network = readers.IsNetworkPath(path, &notConnected) != 0;
  return {network, !network || !notConnected};
}

}  // namespace

void SetTagReaders(const TagReaders* readers) {
  std::lock_guard lock(g_readersLock);
  g_readers = readers ? *readers : TagReaders{};
}

HRESULT CMediaItem::ReadTagsFromFile(const TagReadSource* record) {
  if (!record) return E_FAIL;
  const std::u16string source = Source();
  if (source.empty()) return E_FAIL;
  const LPCWSTR path = source.c_str();
  const TagReaders readers = Readers();
  const bool hasInfoReader = record->stream && record->streamVersion >= 2 && record->ReadInfo;

  if (!record->ReadStreamInfo) {
    if (!hasInfoReader) return E_FAIL;
    record->ReadInfo(record->stream, path, this);
    SetGuid(TAG_MEDIA_TYPE, MEDIATYPE_FILE_DEFAULT);
    SetGuid(TAG_MEDIA_SUBTYPE, MEDIASUBTYPE_DEFAULT);
    return S_OK;
  }

  const NetworkState where = ClassifyPath(readers, path);
  LONG code = static_cast<LONG>(E_FAIL);
  if (where.connected) code = record->ReadStreamInfo(record->stream, path, this);

  if ((static_cast<DWORD>(code) & TAGREAD_CODE) == TAGREAD_CODE) {
    const DWORD flags = static_cast<DWORD>(code);
    const struct {
      DWORD flag;
      TagReaderFn reader;
    } kOrder[] = {
        {TAGREAD_ID3, readers.ReadId3Tags},       {TAGREAD_APE, readers.ReadApeTag},
        {TAGREAD_ASF, readers.ReadAsfAttributes}, {TAGREAD_VORBIS, readers.ReadVorbisComments},
        {TAGREAD_WAVE, readers.ReadWaveInfo},
    };
    for (const auto& step : kOrder) {
      if (!(flags & step.flag) || !step.reader) continue;
      LONG result = step.reader(record->stream, path, this);
      if (result >= 0) code = result;
    }
  }

  if (code >= 0 && record->stream && record->GetTitle) {
    std::vector<WCHAR> title(TAGREAD_TITLE_CHARS + 1, 0);
    record->GetTitle(record->stream, path, title.data());
    title[TAGREAD_TITLE_CHARS] = 0;
    BOOL present = FALSE;
    HasTag(TAG_DISPLAY_TITLE, &present);
    if (title[0] != 0 && !present) SetString(TAG_DISPLAY_TITLE, title.data());
  }
  if (code < 0) SetInt(TAG_READ_FAILED, 1);
  if (hasInfoReader && (code >= 0 || (record->streamFlags & 1))) record->ReadInfo(record->stream, path, this);

  BOOL hasType = FALSE;
  HasTag(TAG_MEDIA_TYPE, &hasType);
  if (!hasType) {
    GUID type = MEDIATYPE_QUERY_DEFAULT, subtype = MEDIASUBTYPE_DEFAULT;
    if (record->GetContentType && record->GetContentType(record->stream, path, &type, &subtype) != 0) {
      SetGuid(TAG_MEDIA_TYPE, type);
      SetGuid(TAG_MEDIA_SUBTYPE, subtype);
    } else {
      SetGuid(TAG_MEDIA_TYPE, MEDIATYPE_FILE_DEFAULT);
      SetGuid(TAG_MEDIA_SUBTYPE, MEDIASUBTYPE_DEFAULT);
    }
  }
  SetGuid(TAG_SOURCE_COLLECTION, source[0] != u'\\' ? SOURCE_COLLECTION_URL
                                 : where.network    ? SOURCE_COLLECTION_NETWORK
                                                    : SOURCE_COLLECTION_LOCAL);
  return S_OK;
}
