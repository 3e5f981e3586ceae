// zbdecode: plays a file through the MP3 decoder module as the player core binds it (the record,
// its host callbacks, a copy of the file source, a waveOut output module and a window that gets
// the end-of-stream message), then prints the stream information and what was played.
//
//   zbdecode FILE OUT.wav|--null [--seek MS]
// OUT.wav plays on the WAVE-file sound device (ZONBREL_AUDIO=wav:OUT.wav), --null on the null
// device, which takes the sound in real time.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "file_source.h"
#include "host_window.h"
#include "mp3_decoder.h"
#include "wave_output.h"

namespace {

// The host callbacks as the core fills them; the sample chain passes samples through.
void NoPriority() {}
void VisInit(int, int) {}
void VisDeinit() {}
void VisPcm(const void*, int, int, int, int) {}
void VisInfo(int, int) {}
int DspAdjust(int samples) { return samples; }
int ProcessSamples(void*, int samples, int, int, int) { return samples; }
int g_kbps = 0;
void Status(int kbps, int, int) {
  if (!g_kbps) g_kbps = kbps;  // the first report: the file's average for a Xing file
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--seek") == 0)) {
    std::fputs("usage: zbdecode FILE OUT.wav|--null [--seek MS]\n", stderr);
    return 2;
  }
  std::u16string path;
  if (!UseFileFolderAsDevice("zbdecode", argv[1], &path)) return 1;
  const bool toNull = std::strcmp(argv[2], "--null") == 0;
  std::error_code ec;
  const std::string audio = toNull ? "null" : "wav:" + std::filesystem::absolute(argv[2], ec).string();
  setenv("ZONBREL_AUDIO", audio.c_str(), 1);

  InputSource source = MakeFileSource();
  DecModule& m = Mp3Decoder;
  m.hwndParent = CreateHostWindow();
  m.source = &source;
  m.outModule = &WaveOutput;
  m.HostSetThreadPriority = NoPriority;
  m.HostVisInit = VisInit;
  m.HostVisDeinit = VisDeinit;
  m.HostVisAddPCM = VisPcm;
  m.HostVisNoop = VisPcm;
  m.HostVisSetInfo = VisInfo;
  m.HostDSPAdjust = DspAdjust;
  m.HostProcessSamples = ProcessSamples;
  m.HostStatusUpdate = Status;

  HoldOutput(argc == 5);
  const int played = m.Play(path.c_str());
  if (played != 0) {
    std::fprintf(stderr, "zbdecode: %s does not play (%d)\n", argv[1], played);
    return 1;
  }
  if (argc == 5) m.SetOutputTime(std::atoi(argv[4]));
  HoldOutput(false);
  std::printf("rate %d\nchannels %d\nbitrate_kbps %d\nlength_ms %d\nseekable %d\n", OutputRate(), OutputChannels(),
              g_kbps, m.GetLength(), m.flags & DEC_FLAG_SEEKABLE);
  const int status = WaitForEndOfStream(m.hwndParent, INFINITE);
  m.Stop();
  std::printf("samples %lld\nend_status %d\n", OutputFrames(), status);
  return 0;
}
