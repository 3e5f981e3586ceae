// The WMA decoder's record and its slots other than Play and the file information: start-up with
// the extension filter and the decoder state, stop, pause, seek requests, length and position.
// While the Windows Media module plays the current file, every slot goes to it instead.
#include <cstring>
#include <new>
#include <string>

#include "wm_decoder_stand_in.h"
#include "wma_decoder.h"
#include "wma_play_state.h"

namespace {

constexpr UINT kSourcePausedControl = 0x80000;
constexpr LONG kNoTagsOfOurOwn = static_cast<LONG>(DEC_INFO_FAILED | DEC_INFO_ASF);

WmaPlayState* g_state = new (std::nothrow) WmaPlayState();  // lives as long as the program
WmaDecoderState* g_decoder = nullptr;
WCHAR g_extensions[64];

bool Forwarded() { return g_state->useWmRuntime != 0; }

void Config(HWND parent) { WmDecoder.Config(parent); }
void About(HWND parent) { WmDecoder.About(parent); }
int IsOurFile(LPCWSTR path) { return WmDecoder.IsOurFile(path); }

void Init() {
  ResetWmaPlayState();
  delete g_decoder;
  g_decoder = new (std::nothrow) WmaDecoderState();
  WmaDecoder.fileExtensions = BuildWmaExtensionList();
  WmDecoder.Init();
}

void Quit() {
  delete g_decoder;
  g_decoder = nullptr;
  WmDecoder.Quit();
}

int Play(LPCWSTR path) {
  g_state->useWmRuntime = 0;
  const int played = WmaPlayFile(path);
  if (played >= 0) return played;
  g_state->useWmRuntime = 1;
  BindWmDecoder();
  return WmDecoder.Play(path);
}

LONG SetPaused(DWORD paused) {
  InputSource* source = WmaDecoder.source;
  return source && source->Control ? source->Control(source, kSourcePausedControl, &paused, sizeof paused, nullptr, 0)
                                   : 0;
}

void Pause() {
  if (Forwarded()) return WmDecoder.Pause();
  if (WmaDecoder.outModule) WmaDecoder.outModule->Pause(1);
  g_state->paused = true;
  SetPaused(1);
}

void UnPause() {
  if (Forwarded()) return WmDecoder.UnPause();
  SetPaused(0);
  if (WmaDecoder.outModule) WmaDecoder.outModule->Pause(0);
  g_state->paused = false;
}

int IsPaused() { return Forwarded() ? WmDecoder.IsPaused() : g_state->paused ? 1 : 0; }

void Stop() {
  if (Forwarded()) return WmDecoder.Stop();
  WmaPlayState& s = *g_state;
  if (s.thread) {
    s.stop = true;
    WaitForSingleObject(s.thread, INFINITE);
    CloseHandle(s.thread);
    s.thread = nullptr;
  }
  s.seekTarget = -1;
  if (WmaDecoder.source) WmaDecoder.source->Close(WmaDecoder.source);
  s.paused = false;
  if (WmaDecoder.outModule) WmaDecoder.outModule->Close();
  if (WmaDecoder.HostVisDeinit) WmaDecoder.HostVisDeinit();
}

int GetLength() { return Forwarded() ? WmDecoder.GetLength() : static_cast<int>(g_state->lengthMs); }

int GetOutputTime() {
  if (Forwarded()) return WmDecoder.GetOutputTime();
  const WmaPlayState& s = *g_state;
  if (s.rate == 0) return 0;
  if (s.seekTarget >= 0) return s.seekTarget;
  const long long position = static_cast<long long>(s.samplePosition) * 1000 / s.rate;
  OutputModule* out = WmaDecoder.outModule;
  return static_cast<int>(out ? position + out->GetOutputTime() - out->GetWrittenTime() : position);
}

void SetOutputTime(int ms) {
  if (Forwarded()) return WmDecoder.SetOutputTime(ms);
  g_state->seekTarget = ms < 0 ? 0 : ms;
}

void SetVolume(int volume) {
  if (Forwarded()) return WmDecoder.SetVolume(volume);
  if (WmaDecoder.outModule) WmaDecoder.outModule->SetVolume(volume);
}

void SetPan(int pan) {
  if (Forwarded()) return WmDecoder.SetPan(pan);
  if (WmaDecoder.outModule) WmaDecoder.outModule->SetPan(pan);
}

int Command(UINT id, void* a, UINT b, void* data, UINT size) {
  return Forwarded() ? WmDecoder.Command(id, a, b, data, size) : -1;
}

// The module reads no tags itself: the ASF reader does.
LONG ReadStreamInfo(InputSource* source, LPCWSTR path, IMediaItem* item) {
  return Forwarded() ? WmDecoder.ReadStreamInfo(source, path, item) : kNoTagsOfOurOwn;
}

LONG Slot19() { return Forwarded() ? WmDecoder.Slot19() : kNoTagsOfOurOwn; }

void GetFileInfo(InputSource* source, LPCWSTR path, LPWSTR title, int* lengthMs) {
  if (Forwarded()) return WmDecoder.GetFileInfo(source, path, title, lengthMs);
  WmaGetFileInfo(source, path, title, lengthMs);
}

}  // namespace

WmaPlayState& WmaState() { return *g_state; }
WmaDecoderState* WmaDecoderBlock() { return g_decoder; }

void ResetWmaPlayState() {
  WmaPlayState& s = *g_state;
  s.useWmRuntime = 0;
  s.thread = nullptr;
  s.stop = false;
  s.paused = false;
  s.seekTarget = -1;
  s.samplePosition = 0;
  s.path[0] = s.title[0] = s.artist[0] = 0;
  s.lengthMs = s.rate = s.channels = 0;
  s.pending = s.chunk = 0;
  std::memset(s.description, 0, sizeof s.description);
}

LPCWSTR BuildWmaExtensionList() {
  std::u16string filter = u"*.WMA";
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, u"MIME\\Database\\Content Type\\audio/x-ms-wma", 0, 0, &key) == ERROR_SUCCESS) {
    WCHAR extension[16] = {};
    DWORD type = 0, bytes = sizeof extension - sizeof(WCHAR);
    if (RegQueryValueExW(key, u"Extension", nullptr, &type, reinterpret_cast<BYTE*>(extension), &bytes) ==
            ERROR_SUCCESS &&
        type == REG_SZ && extension[0] && _wcsicmp(extension, u".wma") != 0)
      filter += u";*" + std::u16string(extension);
    RegCloseKey(key);
  }
  const std::u16string description = u"Windows Media Audio";
  const size_t room = sizeof g_extensions / sizeof g_extensions[0];
  if (filter.size() + description.size() + 2 > room) filter = u"*.WMA";
  std::memcpy(g_extensions, filter.c_str(), (filter.size() + 1) * sizeof(WCHAR));
  std::memcpy(g_extensions + filter.size() + 1, description.c_str(), (description.size() + 1) * sizeof(WCHAR));
  return g_extensions;
}

void BindWmDecoder() {
  DecModule& from = WmaDecoder;
  DecModule& to = WmDecoder;
  to.hwndParent = from.hwndParent;
  to.hDllInstance = from.hDllInstance;
  std::memcpy(to.hostReserved, from.hostReserved, sizeof to.hostReserved);
  to.HostDecoderStatus = from.HostDecoderStatus;
  to.playFlags = from.playFlags;
  to.startPosition = from.startPosition;
  to.PlayerCallback = from.PlayerCallback;
  to.HostSetThreadPriority = from.HostSetThreadPriority;
  to.HostVisInit = from.HostVisInit;
  to.HostVisDeinit = from.HostVisDeinit;
  to.HostVisAddPCM = from.HostVisAddPCM;
  to.HostVisSetInfo = from.HostVisSetInfo;
  to.HostVisNoop = from.HostVisNoop;
  to.HostDSPAdjust = from.HostDSPAdjust;
  to.HostProcessSamples = from.HostProcessSamples;
  to.HostStatusUpdate = from.HostStatusUpdate;
  to.source = from.source;
  to.outModule = from.outModule;
}

// clang-format off
DecModule WmaDecoder = {
    DEC_MODULE_VERSION, u"Kestrane WMA Decoder", nullptr, nullptr, u"*.WMA", DEC_FLAG_SEEKABLE,
    Config, About, Init, Quit, IsOurFile, GetFileInfo, Play, Pause, UnPause, IsPaused, Stop, GetLength,
    GetOutputTime, SetOutputTime, SetVolume, SetPan, nullptr, Command, ReadStreamInfo, Slot19, nullptr, nullptr,
    {}, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr};
// clang-format on
