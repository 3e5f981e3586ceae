// The waveOut calls over the open streams. One device (id 0) exists; the wave mapper stands for
// it. Handles are checked before every use and never reused, so a closed handle fails with
// MMSYSERR_INVALHANDLE rather than reaching another stream.
#include <mmsystem.h>
#include <windows.h>

#include "mmsystem/handle_table.h"
#include "mmsystem/wave_format.h"
#include "mmsystem/wave_stream.h"

namespace zb::mm {
namespace {

HandleTable<WaveStream, HWAVEOUT>& Streams() {
  static auto* table = new HandleTable<WaveStream, HWAVEOUT>(0x7C000000);
  return *table;
}

constexpr DWORD kOpenFlags = WAVE_FORMAT_QUERY | WAVE_ALLOWSYNC | WAVE_MAPPED | CALLBACK_TYPEMASK;

bool HeaderOk(LPWAVEHDR header, UINT size) { return header && size >= sizeof(WAVEHDR); }

// The device a volume call names when it is given no open handle: a null handle is device 0.
bool NamesDevice(HWAVEOUT wave) { return reinterpret_cast<UINT_PTR>(wave) == 0; }

}  // namespace
}  // namespace zb::mm

using namespace zb::mm;

extern "C" UINT waveOutGetNumDevs() { return 1; }

extern "C" MMRESULT waveOutOpen(LPHWAVEOUT wave, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                                DWORD_PTR instance, DWORD flags) {
  if (wave) *wave = nullptr;
  if (flags & ~kOpenFlags) return MMSYSERR_INVALFLAG;
  if (deviceId != WAVE_MAPPER && deviceId != 0) return MMSYSERR_BADDEVICEID;
  const DWORD callbackType = flags & CALLBACK_TYPEMASK;
  if (callbackType != CALLBACK_NULL && callbackType != CALLBACK_FUNCTION) return MMSYSERR_NOTSUPPORTED;
  if (callbackType == CALLBACK_FUNCTION && !callback) return MMSYSERR_INVALPARAM;
  if (MMRESULT r = CheckFormat(format)) return r;
  if (flags & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
  if (!wave) return MMSYSERR_INVALPARAM;

  MMRESULT error = MMSYSERR_NOERROR;
  std::unique_ptr<WaveDevice> device = OpenWaveDevice(*format, &error);
  if (!device) return error ? error : MMSYSERR_ERROR;
  auto stream = std::make_shared<WaveStream>(*format, callback, instance, callbackType);
  HWAVEOUT handle = Streams().Add(stream);
  if (!stream->Start(handle, std::move(device))) {
    Streams().Remove(handle);
    return MMSYSERR_ALLOCATED;
  }
  *wave = handle;
  stream->Notify(WOM_OPEN, 0);
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT waveOutClose(HWAVEOUT wave) {
  auto stream = Streams().Find(wave);
  if (!stream) return MMSYSERR_INVALHANDLE;
  // From inside its own callback the stream cannot wait for the thread that runs it.
  if (stream->OnWorkerThread()) return MMSYSERR_HANDLEBUSY;
  if (MMRESULT r = stream->Close()) return r;
  if (Streams().Remove(wave)) stream->Notify(WOM_CLOSE, 0);  // once, whoever closed it first
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT waveOutPrepareHeader(HWAVEOUT wave, LPWAVEHDR header, UINT size) {
  if (!Streams().Find(wave)) return MMSYSERR_INVALHANDLE;
  if (!HeaderOk(header, size) || !header->lpData) return MMSYSERR_INVALPARAM;
  header->dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT waveOutUnprepareHeader(HWAVEOUT wave, LPWAVEHDR header, UINT size) {
  auto stream = Streams().Find(wave);
  if (!stream) return MMSYSERR_INVALHANDLE;
  if (!HeaderOk(header, size)) return MMSYSERR_INVALPARAM;
  if ((header->dwFlags & WHDR_INQUEUE) && stream->Queued(header)) return WAVERR_STILLPLAYING;
  header->dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT waveOutWrite(HWAVEOUT wave, LPWAVEHDR header, UINT size) {
  auto stream = Streams().Find(wave);
  if (!stream) return MMSYSERR_INVALHANDLE;
  if (!HeaderOk(header, size) || !header->lpData) return MMSYSERR_INVALPARAM;
  if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  if ((header->dwFlags & WHDR_INQUEUE) && stream->Queued(header)) return WAVERR_STILLPLAYING;
  return stream->Write(header);
}

extern "C" MMRESULT waveOutPause(HWAVEOUT wave) {
  auto stream = Streams().Find(wave);
  if (!stream) return MMSYSERR_INVALHANDLE;
  stream->Pause();
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT waveOutRestart(HWAVEOUT wave) {
  auto stream = Streams().Find(wave);
  if (!stream) return MMSYSERR_INVALHANDLE;
  stream->Restart();
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT waveOutReset(HWAVEOUT wave) {
  auto stream = Streams().Find(wave);
  if (!stream) return MMSYSERR_INVALHANDLE;
  stream->Reset();
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT waveOutGetPosition(HWAVEOUT wave, LPMMTIME time, UINT size) {
  auto stream = Streams().Find(wave);
  if (!stream) return MMSYSERR_INVALHANDLE;
  if (!time || size < sizeof(MMTIME)) return MMSYSERR_INVALPARAM;
  const uint64_t bytes = stream->Position();
  const WAVEFORMATEX& f = stream->format();
  switch (time->wType) {
    case TIME_SAMPLES:
      time->u.sample = static_cast<DWORD>(bytes / f.nBlockAlign);
      break;
    case TIME_MS:
      time->u.ms = static_cast<DWORD>(bytes * 1000 / f.nAvgBytesPerSec);
      break;
    default:  // a kind the device does not keep: it answers in bytes and says so
      time->wType = TIME_BYTES;
      [[fallthrough]];
    case TIME_BYTES:
      time->u.cb = static_cast<DWORD>(bytes);
      break;
  }
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT waveOutGetVolume(HWAVEOUT wave, LPDWORD volume) {
  if (!volume) return MMSYSERR_INVALPARAM;
  if (NamesDevice(wave)) {
    *volume = DeviceVolume();
    return MMSYSERR_NOERROR;
  }
  auto stream = Streams().Find(wave);
  if (!stream) return MMSYSERR_INVALHANDLE;
  *volume = stream->volume();
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT waveOutSetVolume(HWAVEOUT wave, DWORD volume) {
  if (NamesDevice(wave)) {
    SetDeviceVolume(volume);
    return MMSYSERR_NOERROR;
  }
  auto stream = Streams().Find(wave);
  if (!stream) return MMSYSERR_INVALHANDLE;
  stream->SetVolume(volume);
  return MMSYSERR_NOERROR;
}

extern "C" MMRESULT waveOutMessage(HWAVEOUT wave, UINT message, DWORD_PTR param1, DWORD_PTR param2) {
  if (message != DRVM_MAPPER_PREFERRED_GET) return MMSYSERR_NOTSUPPORTED;
  if (static_cast<UINT>(reinterpret_cast<UINT_PTR>(wave)) != WAVE_MAPPER) return MMSYSERR_NOTSUPPORTED;
  if (!param1) return MMSYSERR_INVALPARAM;
  *reinterpret_cast<DWORD*>(param1) = 0;  // the preferred device is the only one
  if (param2) *reinterpret_cast<DWORD*>(param2) = 0;
  return MMSYSERR_NOERROR;
}
