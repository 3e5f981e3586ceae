// Tremor over a stream object: the four callbacks, opening and clearing a file object with the
// equaliser's tables, and the link-time wrapper around Tremor's inverse MDCT through which the
// equaliser reaches each channel's coefficients between residue and transform.
#include "ogg_vorbis_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// The file whose decoding runs on this thread, while an EqualizedDecode scope says so.
thread_local const VorbisEqState* t_decoding = nullptr;

size_t OvRead(void* buffer, size_t size, size_t count, void* datasource) {
  auto* source = static_cast<InputSource*>(datasource);
  if (!source || size > INT_MAX || count > INT_MAX) {
    errno = EINVAL;
    return 0;
  }
  const int got = source->Read(source, buffer, static_cast<int>(size), static_cast<int>(count));
  // Tremor reads like fread: nothing with errno set is an error, nothing without it the end.
  if (got < 0) {
    errno = EIO;
    return 0;
  }
  return static_cast<size_t>(got);
}

int OvSeek(void* datasource, ogg_int64_t offset, int whence) {
  auto* source = static_cast<InputSource*>(datasource);
  if (!source || !source->IsSeekable(source)) return -1;
  if (offset < INT_MIN || offset > INT_MAX) return -1;  // beyond what a stream object can reach
  const int origin = whence == SEEK_SET || whence == SEEK_CUR || whence == SEEK_END ? whence : SEEK_CUR;
  return source->Seek(source, origin, static_cast<int>(offset)) == 0 ? 0 : -1;
}

// The opener closes its source itself, on every path: Tremor's close would close it once more
// after a failed open.
int OvClose(void*) { return 0; }

long OvTell(void* datasource) {
  auto* source = static_cast<InputSource*>(datasource);
  return source ? source->Tell(source) : -1;
}

constexpr ov_callbacks kCallbacks = {OvRead, OvSeek, OvClose, OvTell};

}  // namespace

int OpenVorbisFile(OggVorbisFile* file, InputSource* source) {
  std::memset(file, 0, sizeof *file);
  const int opened = ov_open_callbacks(source, &file->vf, nullptr, 0, kCallbacks);
  if (opened != 0) {
    std::memset(file, 0, sizeof *file);
    return opened;
  }
  file->eq.eqTables = static_cast<int64_t*>(std::calloc(1, kVorbisEqTableBytes));
  if (!file->eq.eqTables) {
    ov_clear(&file->vf);
    std::memset(file, 0, sizeof *file);
    return OV_EFAULT;
  }
  for (int i = 0; i < file->vf.links; ++i)
    if (file->vf.vi && file->vf.vi[i].rate == 0) file->vf.vi[i].rate = 1;
  file->open = true;
  return 0;
}

void ClearVorbisFile(OggVorbisFile* file) {
  if (!file->open) return;
  ov_clear(&file->vf);
  std::free(file->eq.eqTables);
  std::memset(file, 0, sizeof *file);
}

long long VorbisFileLengthMs(OggVorbisFile* file) {
  const ogg_int64_t total = ov_time_total(&file->vf, -1);
  return total < 0 ? -1 : total;
}

long VorbisFileBitrate(OggVorbisFile* file) {
  // Tremor averages a seekable file by dividing by its total time: a file of no length (or one
  // whose granule positions run backwards) would divide by zero; its header's rate is asked then.
  if (!ov_seekable(&file->vf) || ov_time_total(&file->vf, -1) > 0) return ov_bitrate(&file->vf, -1);
  const vorbis_info* info = ov_info(&file->vf, -1);
  return info && info->bitrate_nominal > 0 ? info->bitrate_nominal : 0;
}

EqualizedDecode::EqualizedDecode(OggVorbisFile* file) : previous_(t_decoding) { t_decoding = &file->eq; }

EqualizedDecode::~EqualizedDecode() { t_decoding = previous_; }

// Tremor's mapping calls this for each channel of each block, with n the block size, once the
// floor and residue are in the vector and before it is transformed in place.
extern "C" void __real_mdct_backward(int n, ogg_int32_t* in, ogg_int32_t* out);
extern "C" void __wrap_mdct_backward(int n, ogg_int32_t* in, ogg_int32_t* out) {
  if (const VorbisEqState* eq = t_decoding) VorbisEqApplyChannel(eq, in, n / 2);
  __real_mdct_backward(n, in, out);
}
