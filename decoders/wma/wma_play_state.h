// The WMA module's state: the one file that plays (WmaPlayState, shared by the host's thread,
// which writes the stop, pause and seek requests, and the decode thread, which reads them between
// chunks) and the decoder state that Init allocates: the library and the read cache through which
// its small reads reach the stream object as 16 KiB reads.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "wma_lib.h"

constexpr DWORD kWmaCacheBytes = 16384;
constexpr DWORD kWmaPcmSamples = 32768;  // 65536 bytes: a chunk and room for the DSP to lengthen it
constexpr DWORD kWmaDescriptionBytes = 64;

struct WmaPlayState {
  std::atomic<DWORD> useWmRuntime{0};  // the Windows Media module plays the current file
  HANDLE thread = nullptr;
  std::atomic<bool> stop{false};
  std::atomic<bool> paused{false};
  std::atomic<int> seekTarget{-1};     // ms, -1 when none
  std::atomic<DWORD> samplePosition{0};  // per channel, handed to the output since the seek base
  WCHAR path[MAX_PATH] = {};
  WCHAR title[MAX_PATH] = {};
  WCHAR artist[MAX_PATH] = {};
  DWORD lengthMs = 0, rate = 0, channels = 0;
  int16_t pcm[kWmaPcmSamples] = {};
  DWORD pending = 0;  // samples per channel gathered in pcm, not written yet
  DWORD chunk = 0;    // samples per channel per output write
  // Content description of the current file: title, author, copyright, description, rating.
  char16_t description[5][kWmaDescriptionBytes / 2] = {};
};

struct WmaDecoderState {
  WmaLibState library;
  WmaFormatInfo format{};
  uint8_t cache[kWmaCacheBytes];
  DWORD cacheOffset = 0;
  DWORD cacheBytes = 0;  // 0: empty
};

WmaPlayState& WmaState();
// The decoder state between Init and Quit, null outside.
WmaDecoderState* WmaDecoderBlock();
void ResetWmaPlayState();

// The library's read callback: byte ranges of the record's stream object through the cache.
uint32_t WmaDecoderReadCallback(void* host, uint32_t offset, uint32_t bytes, const uint8_t** data);
int WmaPlayFile(LPCWSTR path);
DWORD WINAPI WmaDecodeThread(LPVOID);
void WmaGetFileInfo(InputSource* source, LPCWSTR path, LPWSTR title, int* lengthMs);
// Copies the host's bindings of the WMA record into the Windows Media record it forwards to.
void BindWmDecoder();
