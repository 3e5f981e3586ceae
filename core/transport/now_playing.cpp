// The periodic now-playing refresh: the title line with its playlist number and length, the time
// elements, the play/pause elements and what it learns of the playing
// entry written back into the playlist.
#include <string>

#include "core/interface/player_events.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "core/transport/transport_neighbours.h"
#include "library/mediaitem.h"
#include "playlist.h"
#include "skin/skin_state.h"

namespace {

constexpr int kUiTitle = 6, kUiScrollTitle = 1, kUiClockTick = 27;
constexpr int kTitleChars = 1024;

struct NowPlayingMemory {
  const CPlayerCore* core = nullptr;  // whose display this is: another core starts afresh
  std::u16string shownPath;  // the idle item whose resume position the time elements show
};

NowPlayingMemory& Memory() {
  static NowPlayingMemory memory;
  return memory;
}

// The resume position the time elements show for an item not yet playing; -1 for none.
LONG IdleResumePosition(CPlayerCore* core) {
  DWORD wanted = 0;
  UINT size = sizeof wanted;
  if (core->DispatchToHooks(PLAYER_EVENT_RESUME_MODE, nullptr, 0, &wanted, &size) < 0) {
    CSettings* settings = GetSettings();
    wanted = settings ? settings->autoResume : 0;
  }
  if (!wanted) return -1;
  LONG position = -1;
  size = sizeof position;
  if (core->DispatchToHooks(PLAYER_EVENT_RESUME_POSITION, nullptr, 0, &position, &size) < 0) position = core->GetResumePosition();
  return position;
}

void ShowIdle(CPlayerCore* core, CSkinState* state) {
  const std::u16string path = core->GetCurrentPath();
  NowPlayingMemory& memory = Memory();
  if (_wcsicmp(path.c_str(), memory.shownPath.c_str()) == 0) return;
  memory.shownPath = path;
  const LONG position = IdleResumePosition(core);
  if (state) {
    if (position >= 0) {
      const int seconds = position / 1000;
      state->UpdateTrackTimeElements(-1, seconds / 3600, seconds % 3600 / 60, seconds % 60);
    } else {
      state->UpdateTrackTimeElements(0, 0, 0, 0);
    }
    state->UpdatePlayPauseElements();
  }
}

// The title and length of the playing entry: the file name and the decoder's length, or, with
// "readTitles" on, the item's formatted title and its Length tag.
std::u16string TitleAndLength(CPlayerCore* core, DecModule* decoder, int* length) {
  CSettings* settings = GetSettings();
  const int decoderLength = decoder->GetLength ? decoder->GetLength() : 0;
  *length = decoderLength;
  const std::u16string path = core->GetCurrentPath();
  if (!settings || !settings->readTitles) {
    const size_t cut = path.rfind(u'\\');
    return cut == std::u16string::npos ? path : path.substr(cut + 1);
  }
  std::u16string title;
  if (IMediaItem* item = core->GetCurrentItem()) {
    BSTR formatted = nullptr;
    LONG missing = 0;
    if (SUCCEEDED(item->FormatTitle(MEDIAITEM_TITLE_FORMAT, kTitleChars, settings->songTitleFormat, &formatted, &missing)) && formatted)
      title = formatted;
    if (formatted) SysFreeString(formatted);
    LONG tagged = -1;
    if (SUCCEEDED(item->GetInt(TAG_LENGTH, &tagged)) && tagged >= 0) {
      *length = tagged;
    } else if (decoderLength > 0) {
      item->SetInt(TAG_LENGTH, decoderLength);
    }
  }
  if (title.empty() && decoder->GetFileInfo) {
    WCHAR text[kTitleChars] = u"";
    int infoLength = -1;
    decoder->GetFileInfo(nullptr, nullptr, text, &infoLength);
    text[kTitleChars - 1] = 0;
    title = text;
    *length = infoLength;
  }
  return title;
}

void ShowPlaying(CPlayerCore* core, CSkinState* state, DecModule* decoder) {
  std::u16string text = PlaylistNumberPrefix(core->GetCurrentIndex());
  int length = 0;
  std::u16string title = TitleAndLength(core, decoder, &length);
  if (title.empty()) {
    title = u"Unknown Artist - Untitled";
  } else if (CPlaylist* playlist = core->GetPlaylist()) {
    playlist->SetItemInfo(-1, core->GetCurrentPath().c_str(), title.c_str(), length);
  }
  text += title;
  if (length > 0) {
    WCHAR tail[32];
    wsprintfW(tail, u" <%02i:%02i>", length / 60000, length % 60000 / 1000);
    text += tail;
  }
  core->SendUiCommand(kUiTitle, const_cast<WCHAR*>(text.c_str()));

  const int position = decoder->GetOutputTime ? decoder->GetOutputTime() : 0;
  if (state) {
    const int decoderLength = decoder->GetLength ? decoder->GetLength() : 0;
    const int seconds = position / 1000, lengthSeconds = decoderLength / 1000;
    state->UpdateTrackTimeElements(core->IsSeekable() ? lengthSeconds : -lengthSeconds, seconds / 3600,
                                   seconds % 3600 / 60, seconds % 60);
    state->UpdatePlayPauseElements();
  }
  Memory().shownPath.clear();
}

}  // namespace

std::u16string PlaylistNumberPrefix(int index) {
  if (index < 0) return {};
  WCHAR number[16];
  wsprintfW(number, u"%d. ", index + 1);
  return number;
}

void ShowNowPlaying(CPlayerCore* core) {
  if (!core) return;
  if (Memory().core != core) Memory() = NowPlayingMemory{core};
  CSkinState* state = core->GetSkinState();
  DecModule* decoder = core->GetDecoder();
  if (core->IsPlaying() && decoder)
    ShowPlaying(core, state, decoder);
  else
    ShowIdle(core, state);
  CSettings* settings = GetSettings();
  core->SendUiCommand(kUiClockTick, reinterpret_cast<void*>(static_cast<UINT_PTR>(GetTickCount())));
  core->SendUiCommand(kUiScrollTitle, reinterpret_cast<void*>(static_cast<UINT_PTR>(settings ? settings->scrollTitle : 0)));
}
