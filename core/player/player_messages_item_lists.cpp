// Player callback messages that turn a source into a media list (a playlist file, a feed or a
// URL read into a temporary playlist), and the album art a plug-in hands over as image data.
#include <algorithm>
#include <vector>

#include "core/interface/player_events.h"
#include "core/interface/player_messages.h"
#include "core/player/player_core.h"
#include "core/player/player_message_table.h"
#include "skin/image_loader.h"
#include "media_item.h"
#include "medialist.h"
#include "playlist.h"
#include "skin/bitmap_helpers.h"

namespace {

// 4160: the item's source read into a temporary playlist, handed to the list. -1 when the export
// failed or a source gave nothing to export.
int LoadItemList(CPlayerCore& core, const PlayerMessage& m) {
  auto* target = static_cast<IMediaList*>(m.out);
  if (!target || m.outSize < sizeof(void*)) return -1;
  std::u16string source;
  if (m.in) {
    BSTR text = nullptr;
    if (SUCCEEDED(static_cast<IMediaItem*>(m.in)->GetSource(&text)) && text) source = text;
    SysFreeString(text);
  }
  CPlaylist temporary(nullptr);
  if (!source.empty()) {
    if (GetFileAttributesW(source.c_str()) == INVALID_FILE_ATTRIBUTES) {
      UINT size = m.outSize;
      const UINT bytes = static_cast<UINT>((source.size() + 1) * sizeof(WCHAR));
      if (core.DispatchToHooks(PLAYER_EVENT_LOAD_ITEM_LIST, source.data(), bytes, m.out, &size) >= 0) return 0;
      if (!temporary.LoadFromPathOrUrl(source.c_str(), -1, &core)) temporary.InsertItem(source.c_str(), -1, nullptr, -2);
    } else {
      temporary.LoadFile(source.c_str(), nullptr);
    }
    if (temporary.GetCount() == 0) return -1;
  }
  return SUCCEEDED(ExportPlaylistInto(core, &temporary, target)) ? 0 : -1;
}

int LoadPathList(CPlayerCore& core, const PlayerMessage& m) {
  LPCWSTR path = m.in ? InText(m) : nullptr;
  if (m.in && !path) return -1;
  CMediaItem* item = path ? CreateMediaItem() : nullptr;
  if (item) item->SetSource(path);
  const int result = LoadItemList(core, PlayerMessage{item, item ? static_cast<UINT>(sizeof(void*)) : 0, m.out, m.outSize});
  if (item) item->Release();
  return result;
}

// The bytes of an image stream, read from where it stands.
std::vector<BYTE> ReadStream(IStream* stream) {
  std::vector<BYTE> bytes;
  BYTE piece[4096];
  for (;;) {
    ULONG read = 0;
    if (FAILED(stream->Read(piece, sizeof piece, &read)) || read == 0) break;
    bytes.insert(bytes.end(), piece, piece + read);
  }
  return bytes;
}

struct DecodeJob {
  HWND window;
  const PlayerAlbumArtRequest* request;
  HBITMAP bitmap;
};

DWORD WINAPI Decode(void* argument) {
  auto* job = static_cast<DecodeJob*>(argument);
  const PlayerAlbumArtRequest& request = *job->request;
  std::vector<BYTE> streamed;
  ImageMemory memory{static_cast<const BYTE*>(request.data), request.dataSize};
  if (request.flags & ALBUM_ART_FROM_STREAM) {
    streamed = ReadStream(static_cast<IStream*>(const_cast<void*>(request.data)));
    memory = ImageMemory{streamed.data(), static_cast<DWORD>(streamed.size())};
  }
  job->bitmap = memory.size ? LoadImageFromMemory(job->window, &memory, FALSE) : nullptr;
  return 0;
}

// Runs `draw`(target DC, source DC) with the two bitmaps selected into memory DCs of the screen.
template <class Draw>
void DrawBetween(HDC screen, HBITMAP source, HBITMAP target, Draw draw) {
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  HGDIOBJ oldFrom = SelectObject(from, source), oldTo = SelectObject(to, target);
  draw(to, from);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
}

// The bitmap as a DIB section of its own; the old one goes. Null when it cannot be made.
HBITMAP AsDibSection(HBITMAP bitmap, int width, int height) {
  DIBSECTION section{};
  if (GetObjectW(bitmap, sizeof section, &section) == sizeof section && section.dsBm.bmBits) return bitmap;
  HDC screen = GetDC(nullptr);
  HBITMAP copy = CreateScreenDib(screen, width, height);
  if (copy) {
    DrawBetween(screen, bitmap, copy, [&](HDC to, HDC from) { BitBlt(to, 0, 0, width, height, from, 0, 0, SRCCOPY); });
    DeleteObject(bitmap);
  }
  ReleaseDC(nullptr, screen);
  return copy;
}

// Shrinks the bitmap into the maximum when it is larger, keeping its aspect; the scaled bitmap
// replaces it, or it stays as it is when no target can be made.
HBITMAP ScaleToFit(HBITMAP bitmap, const PlayerAlbumArtRequest& request) {
  BITMAP info{};
  if (!GetObjectW(bitmap, sizeof info, &info)) return bitmap;
  const int width = info.bmWidth, height = std::abs(info.bmHeight);
  if (width <= request.maxWidth && height <= request.maxHeight) return bitmap;
  if (width <= 0 || height <= 0 || request.maxWidth <= 0 || request.maxHeight <= 0) return bitmap;
  int targetWidth, targetHeight;
  if (static_cast<long long>(width) * request.maxHeight > static_cast<long long>(height) * request.maxWidth) {
    targetWidth = request.maxWidth;
    targetHeight = static_cast<int>(static_cast<long long>(height) * request.maxWidth / width);
  } else {
    targetWidth = static_cast<int>(static_cast<long long>(width) * request.maxHeight / height);
    targetHeight = request.maxHeight;
  }
  const bool smooth = (request.flags & ALBUM_ART_DIB) != 0;
  HDC screen = GetDC(nullptr);
  HBITMAP target = smooth ? CreateScreenDib(screen, targetWidth, targetHeight)
                          : CreateCompatibleBitmap(screen, targetWidth, targetHeight);
  if (target && smooth) {
    HBITMAP source = AsDibSection(bitmap, width, height);
    if (source) {
      bitmap = source;
    } else {
      DeleteObject(target);
      target = nullptr;
    }
  }
  if (target) {
    DrawBetween(screen, bitmap, target, [&](HDC to, HDC from) {
      StretchSmooth(smooth ? 1 : 0, to, 0, 0, targetWidth, targetHeight, from, 0, 0, width, height, SRCCOPY);
    });
    DeleteObject(bitmap);
    bitmap = target;
  }
  ReleaseDC(nullptr, screen);
  return bitmap;
}

int GetAlbumArt(CPlayerCore& core, const PlayerMessage& m) {
  auto* request = InAs<PlayerAlbumArtRequest>(m);
  auto* out = OutAs<HBITMAP>(m);
  if (!request || !out || !request->data) return -1;
  request->size = sizeof *request;
  DecodeJob job{core.GetMainWindow(), request, nullptr};
  {
    CSectionLock hold(core.MessageLock());
    // The main window's thread keeps its stack for the user interface: the decoding runs beside it.
    HWND main = core.GetMainWindow();
    const bool onMainThread = main && GetWindowThreadProcessId(main, nullptr) == GetCurrentThreadId();
    HANDLE thread = onMainThread && !(request->flags & ALBUM_ART_FROM_STREAM)
                        ? CreateThread(nullptr, 0, Decode, &job, 0, nullptr)
                        : nullptr;
    if (thread) {
      WaitForSingleObject(thread, INFINITE);
      CloseHandle(thread);
    } else {
      Decode(&job);
    }
  }
  *out = job.bitmap;
  if (job.bitmap && (request->flags & ALBUM_ART_SCALE)) *out = ScaleToFit(job.bitmap, *request);
  return 0;
}

int GetAlbumArtByData(CPlayerCore& core, const PlayerMessage& m) {
  if (!m.in || m.inSize == 0) return -1;
  PlayerAlbumArtRequest request{sizeof request, m.in, m.inSize, 0, 0, 0};
  return GetAlbumArt(core, PlayerMessage{&request, sizeof request, m.out, m.outSize});
}

constexpr PlayerMessageEntry kEntries[] = {
    {PLAYER_MSG_LOAD_ITEM_LIST, LoadItemList},
    {PLAYER_MSG_LOAD_PATH_LIST, LoadPathList},
    {PLAYER_MSG_GET_ALBUM_ART, GetAlbumArt},
    {PLAYER_MSG_GET_ALBUM_ART_BY_DATA, GetAlbumArtByData},
};

}  // namespace

std::span<const PlayerMessageEntry> ItemListMessages() { return kEntries; }
