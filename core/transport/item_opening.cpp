// Making an item current: the decoder, stream source and output are bound for its path, its
// media item is looked up (or derived from the file name), and the plug-ins, the visualisation
// and the now-playing display hear of it.
#include <string>

#include "core/player/core_media_library.h"
#include "core/modules/decoder_choice.h"
#include "core/common/named_events.h"
#include "core/player/player_core.h"
#include "core/interface/player_events.h"
#include "core/transport/transport_neighbours.h"
#include "core/output/output_registry.h"
#include "media_item.h"
#include "playlist.h"

namespace {

constexpr int kUiCommandNowPlayingText = 6;
constexpr int kUiCommandNowPlayingItem = 21;

}  // namespace

void CPlayerCore::BindDecoder(LPCWSTR path, DecModule** outRecord, InputSource** outSource, OutputModule** outOutput) {
  std::u16string choicePath = path ? path : u"";
  if (!outRecord) choicePath += openSuffix_;
  const LPCWSTR choice = path ? choicePath.c_str() : nullptr;
  DecModule* record = ChooseDecoder(choice);
  if (!record) record = PlaylistProbeRecord();
  InputSource* source = ChooseSource(choice);
  OutputModule* output = &WaveWriterModule;
  output->hwndParent = window_;

  if (outRecord) {
    // The host words only: the record may be playing another item through its own source.
    *outRecord = record;
    if (outSource) *outSource = source;
    if (outOutput) *outOutput = output;
    FillHostWords(record);
    return;
  }
  // A registered source is never read itself; the decoder reads a copy that lives until the
  // next binding. A decoder still playing would read on from the copy replaced here.
  if (IsPlaying()) Stop(FALSE);
  boundSource_.Reset(source);
  BindDecoderRecord(record, boundSource_.get(), output);
}

void CPlayerCore::OpenItem(LPCWSTR path, LPCWSTR title) {
  // What plays stops first, under its own path (its resume entry) and before its source goes.
  if (IsPlaying()) Stop(FALSE);
  {
    CSectionLock hold(pathLock_);
    if (path) {
      currentPath_ = path;
      lastPosition_ = -1;
      restartPosition_ = -1;
    }
  }
  const std::u16string current = GetCurrentPath();
  BindDecoder(current.c_str(), nullptr, nullptr, nullptr);
  SetVolume(-666);

  UpdateLibraryEntry(GetMediaLibrary(), current.c_str(), decoder_.load());
  if (currentItem_) currentItem_->Release();
  currentItem_ = nullptr;
  if (library_ && FAILED(library_->FindItem(current.c_str(), &currentItem_, 0))) currentItem_ = nullptr;
  if (!currentItem_) {
    currentItem_ = static_cast<IMediaItem*>(CreateMediaItem());
    InputSource* reader = FileReaderSource();
    if (currentItem_ && current[0] == u'\\' && reader && reader->ReadInfo) {
      CSourceCopy copy;
      copy.Reset(reader);
      copy.get()->ReadInfo(copy.get(), current.c_str(), currentItem_);
    }
  }

  RaiseNamedEvent(u"Zonbrel/Context/Switch");
  DispatchToHooks(PLAYER_EVENT_ITEM_OPENED, currentItem_, sizeof(DWORD), nullptr, nullptr);
  visHost_->SetItem(currentItem_);

  if (!path && !title) {
    SendUiCommand(kUiCommandNowPlayingText, nullptr);
    return;
  }
  std::u16string text = PlaylistNumberPrefix(playlist_->GetCurrentIndex());
  text += title && *title ? title : current;
  SendUiCommand(kUiCommandNowPlayingText, const_cast<LPWSTR>(text.c_str()));
  SendUiCommand(kUiCommandNowPlayingItem, currentItem_);
}
