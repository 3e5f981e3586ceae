// A Tremor file object read through a stream object, with the equaliser's fields beside it.
// Tremor is linked as Debian ships it; its inverse MDCT is interposed at link time, and the
// equaliser of the file named by an EqualizedDecode scope acts on that thread's blocks.
#pragma once
#include <tremor/ivorbisfile.h>
#include <windows.h>

#include "core/interface/input_source.h"
#include "ogg_equalizer.h"

struct OggVorbisFile {
  OggVorbis_File vf;
  VorbisEqState eq;
  bool open;
};

// ov_open_callbacks over the source (already opened by the caller, who also closes it: Tremor
// never does), then the equaliser's tables. Streams whose sample rate reads 0 are given rate 1,
// so that the time functions never divide by it. Tremor's result: 0, or its negative code.
int OpenVorbisFile(OggVorbisFile* file, InputSource* source);
// ov_clear and the tables; the whole object is cleared. Harmless on a file that is not open.
void ClearVorbisFile(OggVorbisFile* file);

// The length in ms of all links, or -1 when Tremor cannot tell (a stream that cannot seek).
long long VorbisFileLengthMs(OggVorbisFile* file);
// Tremor's bit rate of the whole file in bits per second (0 or less when unknown), taken from the
// header where Tremor's average would divide by a length of 0.
long VorbisFileBitrate(OggVorbisFile* file);

// Tremor's decoding of `file` on this thread runs through its equaliser while the scope lives.
// Only ov_read and ov_time_seek are wrapped in one: those are where its blocks are synthesised.
class EqualizedDecode {
 public:
  explicit EqualizedDecode(OggVorbisFile* file);
  ~EqualizedDecode();
  EqualizedDecode(const EqualizedDecode&) = delete;
  EqualizedDecode& operator=(const EqualizedDecode&) = delete;

 private:
  const VorbisEqState* previous_;
};
