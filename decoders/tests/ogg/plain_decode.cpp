// The reference the Ogg module is held to: Tremor alone, linked without the module's wrapping,
// decoding a file with a bare ov_read loop. Writes the 16-bit PCM to OUT and one line per run of
// samples in one format: "segment RATE CHANNELS BYTES" (a chained file may change format).
//
//   ogg_plain_decode FILE OUT [--seek MS]
#include <tremor/ivorbisfile.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--seek") == 0)) {
    std::fputs("usage: ogg_plain_decode FILE OUT [--seek MS]\n", stderr);
    return 2;
  }
  FILE* in = std::fopen(argv[1], "rb");
  if (!in) return 1;
  OggVorbis_File vf;
  if (ov_open(in, &vf, nullptr, 0) != 0) {
    std::fclose(in);
    std::puts("refused");
    return 1;
  }
  if (argc == 5 && ov_time_seek(&vf, std::atoll(argv[4])) != 0) std::puts("seek failed");
  FILE* out = std::fopen(argv[2], "wb");
  static char buffer[4096 * 255 * 2];
  long rate = -1, channels = -1, bytes = 0;
  int section = 0, errors = 0;
  for (;;) {
    const long got = ov_read(&vf, buffer, 4096, &section);
    if (got == 0 || errors > 1000) break;
    if (got < 0) {
      ++errors;
      continue;
    }
    const vorbis_info* info = ov_info(&vf, -1);
    if (info->rate != rate || info->channels != channels) {
      if (bytes) std::printf("segment %ld %ld %ld\n", rate, channels, bytes);
      rate = info->rate, channels = info->channels, bytes = 0;
    }
    std::fwrite(buffer, 1, static_cast<size_t>(got), out);
    bytes += got;
  }
  if (bytes) std::printf("segment %ld %ld %ld\n", rate, channels, bytes);
  std::fclose(out);
  ov_clear(&vf);
  return 0;
}
