// Player callback messages that fill the player state item: the tags plug-ins and decoders show
// about what plays. The item keeps a tracked list, the integer instances of kTrackedTag, naming
// the tags a refresh copies from the playing item again.
#include "core/interface/player_messages.h"
#include "core/player/player_core.h"
#include "core/player/player_message_table.h"
#include "media_item.h"
#include "item_reading.h"
#include "tag_value.h"
#include "tagids.h"


namespace {

constexpr DWORD kTrackedTag = 0x80027FFF;
constexpr DWORD kTypeMask = 0x800F;  // the type bits with the instance bit: instance ids match no type

CMediaItem* StateItem(CPlayerCore& core) { return static_cast<CMediaItem*>(core.GetStateItem()); }

HRESULT SetByType(IMediaItem* state, DWORD id, const void* out, UINT size) {
  switch ((id >> 16) & kTypeMask) {
    case TAG_TYPE_STR:
      if (size != sizeof(LPCWSTR) || !*static_cast<const LPCWSTR*>(out)) return E_INVALIDARG;
      return state->SetString(id, *static_cast<const LPCWSTR*>(out));
    case TAG_TYPE_INT:
      if (size != sizeof(LONG)) return E_INVALIDARG;
      return state->SetInt(id, *static_cast<const LONG*>(out));
    case TAG_TYPE_REAL:
      if (size != sizeof(float)) return E_INVALIDARG;
      return state->SetFloat(id, *static_cast<const float*>(out));
    case TAG_TYPE_DATE:
      if (size == sizeof(SYSTEMTIME)) return state->SetSystemTime(id, static_cast<const SYSTEMTIME*>(out));
      if (size == sizeof(FILETIME)) return state->SetFileTime(id, static_cast<const FILETIME*>(out));
      return E_INVALIDARG;
    case TAG_TYPE_GUID:
      if (size != sizeof(GUID)) return E_INVALIDARG;
      return state->SetGuid(id, *static_cast<const GUID*>(out));
    case TAG_TYPE_BLOB:
      return state->SetBytes(id, out, size);
    default:
      return E_INVALIDARG;
  }
}

void Track(IMediaItem* state, DWORD id) {
  for (DWORD instance = 0;; ++instance) {
    DWORD held = 0, size = sizeof held;
    if (FAILED(state->GetInstance(kTrackedTag, instance, &held, &size))) {
      state->SetInstance(kTrackedTag, instance, &id, sizeof id);
      return;
    }
    if (held == id) return;
  }
}

// One tag (every instance of an instance tag) from the item into the state item; values the
// item lacks are skipped.
void CopyTag(CMediaItem* state, IMediaItem* item, DWORD id) {
  CTagValue value;
  if (!TAG_IS_MULTI(id)) {
    if (ReadForeignValue(item, id, 0, &value)) state->SetEntry(id, 0, value);
    return;
  }
  for (DWORD instance = 0; ReadForeignValue(item, id, instance, &value); ++instance) state->SetEntry(id, instance, value);
}

int SetStateTag(CPlayerCore& core, const PlayerMessage& m) {
  const DWORD* id = InAs<DWORD>(m);
  if (!id || !m.out || (*id & 0x80000000)) return -1;
  CSectionLock hold(core.MessageLock());
  IMediaItem* state = core.GetStateItem();
  if (!state || FAILED(SetByType(state, *id, m.out, m.outSize))) return -1;
  Track(state, *id);
  return 0;
}

int RefreshStateTags(CPlayerCore& core, const PlayerMessage& m) {
  if (!m.in) return -1;
  CSectionLock hold(core.MessageLock());
  CMediaItem* state = StateItem(core);
  auto* item = static_cast<IMediaItem*>(m.in);
  for (DWORD instance = 0; state; ++instance) {
    DWORD id = 0, size = sizeof id;
    if (FAILED(state->GetInstance(kTrackedTag, instance, &id, &size))) break;
    CopyTag(state, item, id);
  }
  return -1;
}

int CopyStateTags(CPlayerCore& core, const PlayerMessage& m) {
  if (!m.in) return -1;
  CSectionLock hold(core.MessageLock());
  if (CMediaItem* state = StateItem(core)) state->CopyFrom(static_cast<IMediaItem*>(m.in), 0, -1, FALSE);
  return -1;
}

constexpr PlayerMessageEntry kEntries[] = {
    {PLAYER_MSG_SET_STATE_TAG, SetStateTag},
    {PLAYER_MSG_REFRESH_STATE_TAGS, RefreshStateTags},
    {PLAYER_MSG_COPY_STATE_TAGS, CopyStateTags},
};

}  // namespace

std::span<const PlayerMessageEntry> StateTagMessages() { return kEntries; }
