// Play of the WAVE decoder: the file's header, a check that some codec knows its format, the
// output format and its converter, the block size that keeps a converted block within half the
// output's buffer, and the decode thread's start.
#include <algorithm>
#include <memory>

#include "tag_text.h"
#include "wave_decoder.h"
#include "wave_header.h"
#include "wave_play_state.h"

namespace {

constexpr DWORD kLeastBlockBytes = 16384;
constexpr DWORD kMostBlockBytes = 1 << 22;  // what a stated byte rate may ask of the read buffers

BOOL CALLBACK CountCodecDrivers(HACMDRIVERID id, DWORD_PTR wantedTag, DWORD support) {
  if (!(support & ACMDRIVERDETAILS_SUPPORTF_CODEC)) return TRUE;
  ACMDRIVERDETAILSW details{};
  details.cbStruct = sizeof details;
  HACMDRIVER driver = nullptr;
  if (acmDriverDetailsW(id, &details, 0) != 0 || acmDriverOpen(&driver, id, 0) != 0) return TRUE;
  for (DWORD index = 0; index < details.cFormatTags; ++index) {
    ACMFORMATTAGDETAILSW tag{};
    tag.cbStruct = sizeof tag;
    tag.dwFormatTagIndex = index;
    if (acmFormatTagDetailsW(driver, &tag, ACM_FORMATTAGDETAILSF_INDEX) == 0 && tag.dwFormatTag == wantedTag)
      ++WaveState().driverCount;
  }
  acmDriverClose(driver, 0);
  return TRUE;
}

// Whether any ACM codec knows the file's tag, or failing that PCM.
bool SomeCodecKnows(WORD tag) {
  WaveState().driverCount = 0;
  acmDriverEnum(CountCodecDrivers, tag, 0);
  if (!WaveState().driverCount) acmDriverEnum(CountCodecDrivers, WAVE_FORMAT_PCM, 0);
  return WaveState().driverCount > 0;
}

DWORD RoundDown(ULONGLONG bytes, DWORD align) { return static_cast<DWORD>(bytes / align * align); }

// Source bytes per step: a second of PCM at the output rate, or a second of the compressed
// stream; then cut so that what they convert to fits half the output's buffer.
DWORD BlockBytes(const WAVEFORMATEX& source, const WAVEFORMATEX& out, int maxLatency, CWaveConverter* converter) {
  const DWORD align = source.nBlockAlign;
  ULONGLONG bytes = source.wFormatTag == WAVE_FORMAT_PCM ? static_cast<ULONGLONG>(align) * out.nSamplesPerSec
                                                         : source.nAvgBytesPerSec;
  bytes = std::min<ULONGLONG>(std::max<ULONGLONG>(bytes, kLeastBlockBytes), kMostBlockBytes);
  DWORD block = RoundDown(bytes, align);
  const ULONGLONG outPerSecond = static_cast<ULONGLONG>(out.nChannels) * out.wBitsPerSample * out.nSamplesPerSec / 8;
  const ULONGLONG maxOut = std::min<ULONGLONG>(static_cast<ULONGLONG>(maxLatency), outPerSecond);
  DWORD outBytes = 0;
  if (block && converter->GetOutputSize(block, &outBytes) == MMSYSERR_NOERROR && outBytes && outBytes > maxOut / 2)
    block = RoundDown(static_cast<ULONGLONG>(block) * (maxOut / 2) / outBytes, align);
  return block;
}

}  // namespace

int WavePlay(LPCWSTR path) {
  DecModule& m = WaveDecoder;
  WaveDecoderState& s = WaveState();
  InputSource* source = m.source;
  OutputModule* out = m.outModule;
  s.paused = false;
  s.driverCount = 0;
  s.converter = nullptr;
  s.stopFlag = false;
  s.thread = nullptr;
  s.decodedMs = 0;
  if (!path || !source || !out) return -1;
  CopyCut(s.path, MAX_PATH, path);
  m.flags = (source->IsSeekable(source) ? DEC_FLAG_SEEKABLE : 0) |
            ((source->flags & INPUT_SOURCE_FLAG_LIVE) ? DEC_FLAG_LIVE : 0);
  if (source->Open(source, path) != 0) return -1;
  auto fail = [&] {
    source->Close(source);
    delete s.converter;
    s.converter = nullptr;
    return -1;
  };
  const DWORD fileLength = source->GetLength(source);
  WaveHeader header;
  if (!ReadWaveHeader(source, fileLength, &header)) return fail();
  const auto* sourceFormat = reinterpret_cast<const WAVEFORMATEX*>(header.format.data());
  if (!SomeCodecKnows(sourceFormat->wFormatTag)) return fail();
  s.dataStart = header.dataStart;
  s.dataLength = header.dataLength;
  s.trailingBytes = fileLength > s.dataStart + static_cast<ULONGLONG>(s.dataLength)
                        ? static_cast<DWORD>(fileLength - s.dataLength - s.dataStart)
                        : 0;
  s.readPos = s.dataStart;
  s.snd = header.snd;
  s.outFormat = ChooseWaveOutputFormat(sourceFormat);
  if (CreateWaveConverter(&s.converter, sourceFormat, &s.outFormat) != MMSYSERR_NOERROR) return fail();
  s.sourceFormat = *sourceFormat;
  const WAVEFORMATEX& o = s.outFormat;
  const int maxLatency = out->Open(static_cast<int>(o.nSamplesPerSec), o.nChannels, o.wBitsPerSample);
  if (maxLatency < 0) return fail();
  s.blockBytes = BlockBytes(s.sourceFormat, o, maxLatency, s.converter);
  DWORD outBytes = 0;
  if (!s.blockBytes || s.converter->GetOutputSize(s.blockBytes, &outBytes) != MMSYSERR_NOERROR || !outBytes) {
    out->Close();
    return fail();
  }
  s.outBlockBytes = outBytes;
  out->SetVolume(OUTPUT_STORED_VALUE);
  out->SetPan(OUTPUT_STORED_VALUE);
  const long long outPerSecond = static_cast<long long>(o.nChannels) * o.wBitsPerSample * o.nSamplesPerSec / 8;
  if (m.HostStatusUpdate)
    m.HostStatusUpdate(static_cast<int>(s.sourceFormat.nAvgBytesPerSec * 8ull / 1000),
                       static_cast<int>(s.sourceFormat.nSamplesPerSec / 1000), s.sourceFormat.nChannels);
  if (m.HostVisInit && outPerSecond > 0)
    m.HostVisInit(static_cast<int>(std::min<long long>(maxLatency, outPerSecond) * 1000 / outPerSecond),
                  static_cast<int>(o.nSamplesPerSec));
  if (m.HostVisSetInfo) m.HostVisSetInfo(static_cast<int>(o.nSamplesPerSec), o.nChannels);
  s.thread = CreateThread(nullptr, 0, WaveDecodeThread, nullptr, 0, nullptr);
  if (!s.thread) {
    out->Close();
    return fail();
  }
  return 0;
}
