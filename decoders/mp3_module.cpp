// The MP3 decoder's record and its slots: play and stop, pause, seek requests, title, length and
// stream information. All playback state is module-global: one MP3 file plays at a time.
#include <cstring>
#include <new>

#include "id3_reader.h"
#include "mp3_play_state.h"
#include "playing_item.h"
#include "source_reading.h"
#include "tag_text.h"

namespace {

constexpr UINT kSourcePausedControl = 0x80000;
Mp3PlayState* g_state = new (std::nothrow) Mp3PlayState();  // lives as long as the program
const WCHAR* const kMimeTypes[] = {u"audio/mpeg", u"audio/x-mpeg", u"audio/mpeg3", u"audio/x-mpeg-3"};

void Nothing() {}

// The bytes behind the ID3v2 tag, and of those the audio from the first frame on.
DWORD DataSize(DWORD length, DWORD id3) { return id3 < length ? length - id3 : 0; }
DWORD AudioBytes(DWORD dataSize, DWORD audioStart) { return audioStart < dataSize ? dataSize - audioStart : 0; }
void NothingWithWindow(HWND) {}

void PauseSource(InputSource* source, DWORD paused) {
  if (source && source->Control) source->Control(source, kSourcePausedControl, &paused, sizeof paused, nullptr, 0);
}

int IsOurFile(LPCWSTR path) {
  if (!path) return 0;
  return wcsncmp(path, u"http://", 7) == 0 || wcsncmp(path, u"daap://", 7) == 0 ? 1 : 0;
}

void Pause() {
  PlayState().paused = true;
  if (Mp3Decoder.outModule) Mp3Decoder.outModule->Pause(1);
  PauseSource(Mp3Decoder.source, 1);
}

void UnPause() {
  PlayState().paused = false;
  if (Mp3Decoder.outModule) Mp3Decoder.outModule->Pause(0);
  PauseSource(Mp3Decoder.source, 0);
}

int IsPaused() { return PlayState().paused ? 1 : 0; }

int GetLength() { return PlayState().lengthMs < 1 ? 0 : PlayState().lengthMs; }

int GetOutputTime() {
  OutputModule* out = Mp3Decoder.outModule;
  const int position = PlayState().positionMs;
  if (!out) return position;
  return out->GetOutputTime() - out->GetWrittenTime() + position;
}

void SetOutputTime(int ms) { PlayState().seekTarget = PlayState().lengthMs < 1 ? -1 : ms; }

void SetVolume(int volume) {
  if (Mp3Decoder.outModule) Mp3Decoder.outModule->SetVolume(volume);
}

void SetPan(int pan) {
  if (Mp3Decoder.outModule) Mp3Decoder.outModule->SetPan(pan);
}

int SetEqualizer(int mode, int, const signed char* values, int, int) {
  if ((mode != 1 && mode != 2) || !values) return 0;
  ComputeEqGains(mode == 1, values, values[10]);
  return 1;
}

int Command(UINT, void*, UINT, void*, UINT) { return -1; }

// Stopping is cooperative: the thread sees the flag between frames or in its output wait.
void Stop() {
  Mp3PlayState& s = PlayState();
  if (s.thread) {
    s.stop = true;
    WaitForSingleObject(s.thread, INFINITE);
    CloseHandle(s.thread);
    s.thread = nullptr;
  }
  if (InputSource* source = Mp3Decoder.source) {
    source->Close(source);
  }
  s.paused = false;
  if (Mp3Decoder.outModule) Mp3Decoder.outModule->Close();
  if (Mp3Decoder.HostVisDeinit) Mp3Decoder.HostVisDeinit();
}

int Play(LPCWSTR path) {
  InputSource* source = Mp3Decoder.source;
  OutputModule* out = Mp3Decoder.outModule;
  if (!path || !source || !out || !g_state) return -1;
  ResetPlayState();
  Mp3PlayState& s = PlayState();
  CopyCut(s.path, 262, path);
  const bool seekable = source->IsSeekable(source) != 0;
  if (source->Open(source, path) != 0) {
    OutputDebugStringW(u"Mp3Decoder: cannot open the file\r\n");
    return -1;
  }
  ReadId3v1Tag(source, s.title, s.artist);
  mad_header header;
  if (!ScanMp3Stream(source, &header, &s.xing, &s.id3Size, true, &s.audioStart)) {
    const DWORD code = source->openFlags & 0xFF00;
    source->Close(source);
    OutputDebugStringW(u"Mp3Decoder: no MPEG audio frame\r\n");
    return code ? static_cast<int>(DEC_PLAY_PROBE | code) : -1;
  }
  if (!seekable) {
    // A stream: what the first frame says goes to the item that plays.
    MergeIntoPlayingItem(Mp3Decoder, [&](IMediaItem* item) {
      FillMp3StreamInfo(header, s.xing, item, AudioBytes(DataSize(source->GetLength(source), s.id3Size), s.audioStart));
      return true;
    });
  }
  s.dataSize = DataSize(source->GetLength(source), s.id3Size);
  s.bitrate = static_cast<int>(header.bitrate);
  s.lengthMs = Mp3LengthMs(header, s.xing, AudioBytes(s.dataSize, s.audioStart));
  if (s.xing.isXing && s.xing.frames > 0 && s.dataSize && s.lengthMs > 0)
    s.bitrate = static_cast<int>(static_cast<long long>(s.dataSize) * 8000 / s.lengthMs);
  Mp3Decoder.flags = (seekable ? DEC_FLAG_SEEKABLE : 0) | ((source->flags & INPUT_SOURCE_FLAG_LIVE) ? DEC_FLAG_LIVE : 0);
  s.channels = header.mode == MAD_MODE_SINGLE_CHANNEL ? 1 : 2;
  s.sampleRate = static_cast<int>(header.samplerate);
  s.frameSamples = 32 * MAD_NSBSAMPLES(&header);
  const int opened = out->Open(s.sampleRate, s.channels, 16);
  if (opened < 0) {
    source->Close(source);
    OutputDebugStringW(u"Mp3Decoder: the output does not open\r\n");
    return -1;
  }
  if (Mp3Decoder.HostStatusUpdate) Mp3Decoder.HostStatusUpdate(s.bitrate / 1000, s.sampleRate / 1000, s.channels);
  if (Mp3Decoder.HostVisInit)
    Mp3Decoder.HostVisInit(static_cast<int>(opened * 1000LL / (s.sampleRate * s.channels * 2)), s.sampleRate);
  if (Mp3Decoder.HostVisSetInfo) Mp3Decoder.HostVisSetInfo(s.sampleRate, s.channels);
  out->SetVolume(OUTPUT_STORED_VALUE);
  out->SetPan(OUTPUT_STORED_VALUE);
  RecomputeEqGains();
  s.thread = CreateThread(nullptr, 0, Mp3DecodeThread, nullptr, 0, nullptr);
  if (!s.thread) {
    out->Close();
    source->Close(source);
    return -1;
  }
  return 0;
}

void FormatTitle(const WCHAR* artist, const WCHAR* title, LPWSTR out) {
  std::u16string text = artist[0] ? artist : u"Unknown Artist";
  text += u" - ";
  text += title[0] ? title : u"Untitled";
  CopyCut(out, MAX_PATH, text);
}

void GetFileInfo(InputSource* source, LPCWSTR path, LPWSTR title, int* lengthMs) {
  InputSource* src = source ? source : Mp3Decoder.source;
  auto sourceTitle = [&] {
    if (src && title) src->GetTitle(src, path, title);
  };
  if (!path || !path[0]) {
    Mp3PlayState& s = PlayState();
    if (!s.thread) return sourceTitle();
    if (lengthMs) *lengthMs = GetLength();
    if (title) {
      if (s.artist[0] || s.title[0]) FormatTitle(s.artist, s.title, title);
      else sourceTitle();
    }
    return;
  }
  if (!src || !src->IsSeekable(src)) return sourceTitle();
  SingleShotOpen open(src, path);
  if (!open.ok()) return sourceTitle();
  WCHAR songTitle[ID3_TITLE_CHARS], artist[ID3_TITLE_CHARS];
  ReadId3v1Tag(src, songTitle, artist);
  mad_header header;
  XingInfo xing;
  DWORD id3 = 0, audioStart = 0;
  if (!ScanMp3Stream(src, &header, &xing, &id3, false, &audioStart) || open.length() < 1) return sourceTitle();
  const DWORD audioBytes = AudioBytes(DataSize(open.length(), id3), audioStart);
  if (lengthMs) *lengthMs = std::max(Mp3LengthMs(header, xing, audioBytes), 0);
  if (!title) return;
  if (artist[0] || songTitle[0]) FormatTitle(artist, songTitle, title);
  else sourceTitle();
}

LONG ReadStreamInfo(InputSource* source, LPCWSTR path, IMediaItem* item) {
  if (!source || !path || !path[0] || !item) return E_FAIL;
  const LONG ok = DEC_INFO_OK | DEC_INFO_ID3 | DEC_INFO_APE;
  if (!source->IsSeekable(source)) return ok;
  SingleShotOpen open(source, path);
  if (!open.ok()) return static_cast<LONG>(DEC_INFO_FAILED | DEC_INFO_ID3 | DEC_INFO_APE);
  mad_header header;
  XingInfo xing;
  DWORD id3 = 0, audioStart = 0;
  if (ScanMp3Stream(source, &header, &xing, &id3, false, &audioStart))
    FillMp3StreamInfo(header, xing, item, AudioBytes(DataSize(open.length(), id3), audioStart));
  return ok;
}

LONG Slot19() { return static_cast<LONG>(0x8C0F1001); }

int GetMimeType(int index, LPWSTR buffer, int chars) {
  if (index < 0 || index > 3 || !buffer) return 0;
  CopyCut(buffer, chars > 0 ? static_cast<size_t>(chars) : 16, kMimeTypes[index]);
  return 1;
}

}  // namespace

Mp3PlayState& PlayState() { return *g_state; }

void ResetPlayState() {
  Mp3PlayState& s = *g_state;
  s.thread = nullptr;
  s.stop = false;
  std::memset(s.path, 0, sizeof s.path);
  s.dataSize = 0;
  s.lengthMs = s.bitrate = s.channels = s.sampleRate = s.frameSamples = 0;
  s.positionMs = 0;
  s.paused = false;
  s.seekTarget = -1;
  s.id3Size = s.audioStart = 0;
  std::memset(&s.xing, 0, sizeof s.xing);
  s.inputFill = s.pcmFill = 0;
  s.title[0] = s.artist[0] = 0;
}

DecModule Mp3Decoder = {
    DEC_MODULE_VERSION, u"Kestrane LIBMAD MP3 Decoder", nullptr, nullptr, u"*.MP3;*.MP2;*.MP1;*.MPA", DEC_FLAG_SEEKABLE,
    NothingWithWindow, NothingWithWindow, Nothing, Nothing, IsOurFile, GetFileInfo, Play, Pause, UnPause, IsPaused,
    Stop, GetLength, GetOutputTime, SetOutputTime, SetVolume, SetPan, SetEqualizer, Command, ReadStreamInfo, Slot19,
    GetContentTypeFromRegistry, GetMimeType, {}, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
