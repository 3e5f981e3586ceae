// zbdecode: plays a file through the MP3 decoder module as the player core binds it (the record,
// its host callbacks, a copy of the file source and an output module) into a WAV file or the
// null output, then prints the stream information and what was played.
//
//   zbdecode FILE OUT.wav|--null [--seek MS]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "device/text.h"
#include "end_of_stream.h"
#include "file_source.h"
#include "mp3_decoder.h"
#include "wav_output.h"

namespace {

HANDLE g_ended = nullptr;
int g_status = -1;

void OnEnd(HWND, UINT, int status) {
  g_status = status;
  SetEvent(g_ended);
}

// The host callbacks as the core fills them; the sample chain passes samples through.
void NoPriority() {}
void VisInit(int, int) {}
void VisDeinit() {}
void VisPcm(const void*, int, int, int, int) {}
void VisInfo(int, int) {}
int DspAdjust(int samples) { return samples; }
int ProcessSamples(void*, int samples, int, int, int) { return samples; }
void Status(int, int, int) {}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--seek") == 0)) {
    std::fputs("usage: zbdecode FILE OUT.wav|--null [--seek MS]\n", stderr);
    return 2;
  }
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::absolute(argv[1], ec);
  if (ec || !std::filesystem::is_regular_file(file, ec)) {
    std::fprintf(stderr, "zbdecode: no such file: %s\n", argv[1]);
    return 1;
  }
  setenv("ZONBREL_DEVICE", file.parent_path().c_str(), 1);
  const std::u16string path = u"\\" + zb::FromUtf8(file.filename().string());
  const bool toNull = std::strcmp(argv[2], "--null") == 0;
  if (!toNull && !OpenWavOutput(argv[2])) {
    std::fprintf(stderr, "zbdecode: cannot write %s\n", argv[2]);
    return 1;
  }

  InputSource source = MakeFileSource();
  DecModule& m = Mp3Decoder;
  m.source = &source;
  m.outModule = toNull ? &NullOutput : &WavOutput;
  m.HostSetThreadPriority = NoPriority;
  m.HostVisInit = VisInit;
  m.HostVisDeinit = VisDeinit;
  m.HostVisAddPCM = VisPcm;
  m.HostVisNoop = VisPcm;
  m.HostVisSetInfo = VisInfo;
  m.HostDSPAdjust = DspAdjust;
  m.HostProcessSamples = ProcessSamples;
  m.HostStatusUpdate = Status;
  g_ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetEndOfStreamPoster(OnEnd);

  HoldOutput(argc == 5);
  const int played = m.Play(path.c_str());
  if (played != 0) {
    std::fprintf(stderr, "zbdecode: %s does not play (%d)\n", argv[1], played);
    return 1;
  }
  if (argc == 5) m.SetOutputTime(std::atoi(argv[4]));
  HoldOutput(false);
  std::printf("rate %d\nchannels %d\nlength_ms %d\nseekable %d\n", OutputRate(), OutputChannels(), m.GetLength(),
              m.flags & DEC_FLAG_SEEKABLE);
  WaitForSingleObject(g_ended, INFINITE);
  m.Stop();
  std::printf("samples %lld\nend_status %d\n", OutputFrames(), g_status);
  return 0;
}
