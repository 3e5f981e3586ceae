// The playlist probe's record: a look at the first 16 bytes of files under 256 KiB, and the
// content-type lookup; every other slot is neutral.
#include "playlist_probe.h"

#include "mp3_decoder.h"

namespace {

constexpr DWORD kLargestPlaylist = 0x40000;
constexpr DWORD kLookAt = 16;

void NoWindow(HWND) {}
void Nothing() {}
void NoInfo(InputSource*, LPCWSTR, LPWSTR, int*) {}
int No() { return 0; }
int NoPath(LPCWSTR) { return 0; }
void NoPosition(int) {}
int NoEqualizer(int, int, const signed char*, int, int) { return 0; }
int NoCommand(UINT, void*, UINT, void*, UINT) { return -1; }
LONG Refused() { return static_cast<LONG>(E_FAIL); }
int NoMimeType(int, LPWSTR, int) { return 0; }

void SetVolume(int volume) {
  if (PlaylistProbe.outModule) PlaylistProbe.outModule->SetVolume(volume);
}

void SetPan(int pan) {
  if (PlaylistProbe.outModule) PlaylistProbe.outModule->SetPan(pan);
}

LONG ReadStreamInfo(InputSource* source, LPCWSTR path, IMediaItem*) {
  return source && path && path[0] ? 0 : static_cast<LONG>(E_FAIL);
}

// Only spaces are passed over: a line break or a tab in front leaves the file alone.
int Play(LPCWSTR path) {
  if (!path || GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return -1;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  int result = -1;
  BYTE head[kLookAt];
  DWORD got = 0;
  if (GetFileSize(file, nullptr) < kLargestPlaylist && ReadFile(file, head, kLookAt, &got, nullptr) && got == kLookAt) {
    DWORD i = 0;
    while (i < kLookAt && head[i] == ' ') ++i;
    if (i < kLookAt && (head[i] == '<' || head[i] == '[')) result = static_cast<int>(DEC_PLAY_PROBE | DEC_PLAY_EXPAND_AS_PLAYLIST);
  }
  CloseHandle(file);
  return result;
}

}  // namespace

DecModule PlaylistProbe = {
    DEC_MODULE_VERSION, u"", nullptr, nullptr, u"", DEC_FLAG_SEEKABLE, NoWindow, NoWindow, Nothing, Nothing, NoPath,
    NoInfo, Play, Nothing, Nothing, No, Nothing, No, No, NoPosition, SetVolume, SetPan, NoEqualizer, NoCommand,
    ReadStreamInfo, Refused, GetContentTypeFromRegistry, NoMimeType, {}, nullptr, 0, 0, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
