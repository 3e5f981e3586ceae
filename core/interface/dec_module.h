// The decoder module record: what a built-in decoder or a "\dec_*.dll" library gives the core,
// and what the core writes into it before Play (the host callbacks through which the decode
// thread reports status, feeds the visualisation and runs the sample chain). Words in order.
#pragma once
#include <windows.h>

#include "core/interface/input_source.h"
#include "core/interface/output_module.h"
#include "core/interface/player_callback.h"
#include "core/interface/record_layout.h"

struct IMediaItem;

#define DEC_MODULE_VERSION 1

// flags (word 5); the module may rewrite it while it plays.
#define DEC_FLAG_SEEKABLE 0x1
#define DEC_FLAG_LIVE 0x2

// playFlags (word 36), written by the player before Play; a decoder clears what it honoured.
#define DEC_PLAY_START_PAUSED 0x1
#define DEC_PLAY_START_AT_POSITION 0x2

// ReadStreamInfo results: the base with the generic tag readers still to run; a failure has
// bit 31 set as well (0x8C0F10xx).
#define DEC_INFO_OK 0x0C0F1000
#define DEC_INFO_FAILED 0x8C0F1000
#define DEC_INFO_ID3 0x01
#define DEC_INFO_ASF 0x02
#define DEC_INFO_VORBIS 0x04
#define DEC_INFO_WAVE 0x08
#define DEC_INFO_APE 0x10

// Play results in 0x8080xxxx are probe answers, not failures of the file.
#define DEC_PLAY_PROBE 0x80800000
#define DEC_PLAY_PROBE_MASK 0xFFFF0000
#define DEC_PLAY_RETRY_AS_WINDOWS_MEDIA 0x8000
#define DEC_PLAY_EXPAND_AS_PLAYLIST 0x4000

// Host callbacks (words 35, 39-47).
typedef DWORD (*HostDecoderStatusFn)(UINT code, void* in, UINT inSize, void* out, UINT outSize);
typedef void (*HostSetThreadPriorityFn)();
typedef void (*HostVisInitFn)(int maxLatencyMs, int sampleRate);
typedef void (*HostVisDeinitFn)();
typedef void (*HostVisAddPCMFn)(const void* samples, int bytes, int channels, int bitsPerSample, int timeStampMs);
typedef void (*HostVisSetInfoFn)(int sampleRate, int channels);
typedef int (*HostDSPAdjustFn)(int sampleCount);
typedef int (*HostProcessSamplesFn)(void* samples, int sampleCount, int channels, int bitsPerSample, int sampleRate);
typedef void (*HostStatusUpdateFn)(int bitrate, int sampleRate, int channelMode);

struct DecModule {
  int version;                   // 0: 1
  const WCHAR* description;      // 1
  HWND hwndParent;               // 2  host: at registration and when bound to a file
  HINSTANCE hDllInstance;        // 3  host: the library holding the record
  const WCHAR* fileExtensions;   // 4  "*.MP3;*.MP2"
  int flags;                     // 5  DEC_FLAG_*
  void (*Config)(HWND parent);   // 6
  void (*About)(HWND parent);    // 7
  void (*Init)();                // 8
  void (*Quit)();                // 9
  int (*IsOurFile)(LPCWSTR path);  // 10  1 when the module claims the path or URL
  void (*GetFileInfo)(InputSource* source, LPCWSTR path, LPWSTR title, int* lengthMs);  // 11
  int (*Play)(LPCWSTR path);     // 12  negative = failure
  void (*Pause)();               // 13
  void (*UnPause)();             // 14
  int (*IsPaused)();             // 15
  void (*Stop)();                // 16
  int (*GetLength)();            // 17  ms
  int (*GetOutputTime)();        // 18  ms
  void (*SetOutputTime)(int ms); // 19  seek
  void (*SetVolume)(int volume); // 20
  void (*SetPan)(int pan);       // 21
  // 22: (mode 1 on / 2 off, 11, the 10 bands and the preamp, 0, 0) -> non-zero when the module
  // equalises by itself; 0 in the record when it cannot.
  int (*SetEqualizer)(int mode, int count, const signed char* values, int reserved1, int reserved2);
  ModuleEventFn Command;         // 23  -1 = not handled; also gets the player events
  LONG (*ReadStreamInfo)(InputSource* source, LPCWSTR path, IMediaItem* item);  // 24
  LONG (*Slot19)();              // 25  reserved
  // 26: the media category of a path (type), 1 when found.
  int (*GetContentType)(InputSource* source, LPCWSTR path, GUID* type, GUID* subtype);
  int (*GetMimeType)(int index, LPWSTR buffer, int chars);  // 27  non-zero while index names one
  void* hostReserved[7];         // 28-34  host slots 0-6, 0
  HostDecoderStatusFn HostDecoderStatus;          // 35  host slot 7
  DWORD playFlags;                                // 36  host slot 8: DEC_PLAY_*
  int startPosition;                              // 37  host slot 9: ms
  PlayerCallbackFn PlayerCallback;                // 38  host slot 10
  HostSetThreadPriorityFn HostSetThreadPriority;  // 39
  HostVisInitFn HostVisInit;                      // 40
  HostVisDeinitFn HostVisDeinit;                  // 41
  HostVisAddPCMFn HostVisAddPCM;                  // 42
  HostVisSetInfoFn HostVisSetInfo;                // 43
  HostVisAddPCMFn HostVisNoop;                    // 44  accepted and ignored
  HostDSPAdjustFn HostDSPAdjust;                  // 45
  HostProcessSamplesFn HostProcessSamples;        // 46
  HostStatusUpdateFn HostStatusUpdate;            // 47
  InputSource* source;                            // 48  the stream object read through
  OutputModule* outModule;                        // 49
};

#define ZB_F(field) ZB_RECORD_FIELD(DecModule, field)
static_assert(zb::IsExactLayout({ZB_F(version), ZB_F(description), ZB_F(hwndParent), ZB_F(hDllInstance),
                                 ZB_F(fileExtensions), ZB_F(flags), ZB_F(Config), ZB_F(About), ZB_F(Init),
                                 ZB_F(Quit), ZB_F(IsOurFile), ZB_F(GetFileInfo), ZB_F(Play), ZB_F(Pause),
                                 ZB_F(UnPause), ZB_F(IsPaused), ZB_F(Stop), ZB_F(GetLength),
                                 ZB_F(GetOutputTime), ZB_F(SetOutputTime), ZB_F(SetVolume), ZB_F(SetPan),
                                 ZB_F(SetEqualizer), ZB_F(Command), ZB_F(ReadStreamInfo), ZB_F(Slot19),
                                 ZB_F(GetContentType), ZB_F(GetMimeType), ZB_F(hostReserved),
                                 ZB_F(HostDecoderStatus), ZB_F(playFlags), ZB_F(startPosition),
                                 ZB_F(PlayerCallback), ZB_F(HostSetThreadPriority), ZB_F(HostVisInit),
                                 ZB_F(HostVisDeinit), ZB_F(HostVisAddPCM), ZB_F(HostVisSetInfo),
                                 ZB_F(HostVisNoop), ZB_F(HostDSPAdjust), ZB_F(HostProcessSamples),
                                 ZB_F(HostStatusUpdate), ZB_F(source), ZB_F(outModule)},
                                sizeof(DecModule), alignof(DecModule)),
              "DecModule words are out of their documented order");
#undef ZB_F

// Export of a "\dec_*.dll": records by index 0, 1, 2 ... until null.
typedef DecModule* (*ZonbrelGetDecModuleFn)(HMODULE module, int index);
extern "C" DecModule* ZonbrelGetDecModule(HMODULE module, int index);
