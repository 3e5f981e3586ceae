// The cascade run wide: each section of each channel is a 64-bit lane of 512- or 256-bit vectors
// and the sections a pipeline of rounds (section s on block r - s in round r), all lanes at once.
// The arithmetic is the plain filter's word for word: 32 x 32 -> 64-bit products, wrapping sums.
#include "core/output/equalizer_cascade.h"

#if defined(__x86_64__)

#include <immintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kRoundFrames = 32;
// A row holds one frame of the pipeline: kHead words ahead of the lanes, whose last `channels`
// words are the cascade's input, then the output of every lane. Lane l reads word
// kHead - channels + l: the output of the lane one section before it, or the input.
constexpr int kHead = 8;
constexpr int kLaneWords = 24;  // every section of both channels, rounded up to whole vectors
constexpr int kRowWords = kHead + kLaneWords;
// Vectors run side by side, so that the multiply's latency hides behind the others' work; three
// keep their histories in 16 registers.
constexpr int kGroup = 3;
static_assert(kLaneWords >= kEqBandCount * kEqMaxChannels && kLaneWords % 8 == 0);

// Per lane, 64-bit words whose low halves the multiplies read: the coefficients in the form
// sum = b0 x + b1 x1 + b2 x2 + c1 y1 + c2 y2 (a peaking section's c1 (x1 - y1) is c1 x1 - c1 y1,
// exactly, in wrapping 64-bit sums), the histories, and the section of each lane.
enum Word { kB0, kB1, kB2, kC1, kC2, kX1, kX2, kY1, kY2, kWordCount };
struct alignas(64) LaneTable {
  int64_t word[kWordCount][kLaneWords];
  int64_t section[kLaneWords];
};

using RoundRows = int64_t[kRoundFrames][kRowWords];
struct alignas(64) Rows {
  RoundRows word[2];
};

// What every round of a call shares.
struct Pipeline {
  LONG gain;
  SHORT* samples;
  int blocks, channels, sections, vectors;
};

void Fill(LaneTable& t, const EqCascade& cascade, int channels) {
  std::memset(&t, 0, sizeof t);
  for (int l = 0; l < kLaneWords; ++l) t.section[l] = l / channels;
  for (int s = 0; s < cascade.count; ++s) {
    const EqStage& k = *cascade.stages[s];
    for (int c = 0; c < channels; ++c) {
      const int l = s * channels + c;
      t.word[kB0][l] = k.b0;
      t.word[kB1][l] = cascade.peaking[s] ? k.c1 : k.b1;
      t.word[kB2][l] = k.b2;
      t.word[kC1][l] = cascade.peaking[s] ? -int64_t{k.c1} : k.c1;
      t.word[kC2][l] = k.c2;
      const EqHistory& h = cascade.rows[s][c];
      t.word[kX1][l] = h.x1;
      t.word[kX2][l] = h.x2;
      t.word[kY1][l] = h.y1;
      t.word[kY2][l] = h.y2;
    }
  }
}

void Keep(const LaneTable& t, const EqCascade& cascade, int channels) {
  for (int s = 0; s < cascade.count; ++s) {
    for (int c = 0; c < channels; ++c) {
      const int l = s * channels + c;
      cascade.rows[s][c] = {static_cast<LONG>(t.word[kX1][l]), static_cast<LONG>(t.word[kX2][l]),
                            static_cast<LONG>(t.word[kY1][l]), static_cast<LONG>(t.word[kY2][l])};
    }
  }
}

// A round's frames through the preamp into the input words: x = (gain x (sample << 12)) >> 28.
// Stereo goes two frames to a vector; the low half of a logical shift is the arithmetic one's.
[[gnu::target("avx2")]] void TakeInput(RoundRows& in, const SHORT* from, int channels, LONG gain) {
  if (channels == 2) {
    const __m256i g = _mm256_set1_epi64x(gain);
    for (int j = 0; j < kRoundFrames; j += 2) {
      const __m256i s = _mm256_cvtepi16_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(from + 2 * j)));
      const __m256i x = _mm256_srli_epi64(_mm256_mul_epi32(g, _mm256_slli_epi64(s, 12)), 28);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(&in[j][kHead - 2]), _mm256_castsi256_si128(x));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(&in[j + 1][kHead - 2]), _mm256_extracti128_si256(x, 1));
    }
    return;
  }
  for (int j = 0; j < kRoundFrames; ++j)
    in[j][kHead - 1] = static_cast<LONG>((static_cast<int64_t>(gain) * (static_cast<LONG>(from[j]) * 4096)) >> 28);
}

// The last section's words, from word `at` of each row, back to 16 bits: y >> 12, saturated.
[[gnu::target("avx2")]] void GiveOutput(const RoundRows& out, int at, SHORT* into, int channels) {
  if (channels == 2) {
    const __m256i lowHalves = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
    for (int j = 0; j < kRoundFrames; j += 2) {
      const __m256i y = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(&out[j + 1][at]),
                                            reinterpret_cast<const __m128i*>(&out[j][at]));
      const __m128i words = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(y, lowHalves));
      const __m128i pcm = _mm_packs_epi32(_mm_srai_epi32(words, 12), words);  // packs saturates
      _mm_storel_epi64(reinterpret_cast<__m128i*>(into + 2 * j), pcm);
    }
    return;
  }
  for (int j = 0; j < kRoundFrames; ++j)
    into[j] = static_cast<SHORT>(std::clamp<LONG>(static_cast<LONG>(out[j][at]) >> 12, -32768, 32767));
}

// Every band flat but the preamp moved: each round's frames through the preamp and straight back.
void PreampOnly(RoundRows& rows, LONG gain, SHORT* samples, int blocks, int channels) {
  for (int b = 0; b < blocks; ++b) {
    SHORT* block = samples + b * kRoundFrames * channels;
    TakeInput(rows, block, channels, gain);
    GiveOutput(rows, kHead - channels, block, channels);
  }
}

// Each width's functions carry its instruction set as an attribute, which g++ and clang both take
// (a target pragma is g++'s alone); the lanes' include spells it ZB_TARGET.
#define ZB_INLINE ZB_TARGET [[gnu::always_inline]] inline

#define ZB_TARGET [[gnu::target("avx2")]]
namespace avx2 {
using V = __m256i;
constexpr int kLanes = 4;
ZB_INLINE V Load(const int64_t* p) { return _mm256_load_si256(reinterpret_cast<const V*>(p)); }
ZB_INLINE V LoadU(const int64_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
ZB_INLINE void StoreU(int64_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
ZB_INLINE V Mul(V a, V b) { return _mm256_mul_epi32(a, b); }
ZB_INLINE V Add(V a, V b) { return _mm256_add_epi64(a, b); }
// (sum >> 32) * 16 in the low half: bits 32..59 of the sum moved to 4..31.
ZB_INLINE V HighTimes16(V sum) {
  return _mm256_and_si256(_mm256_srli_epi64(sum, 28), _mm256_set1_epi64x(~int64_t{15}));
}
ZB_INLINE void Store(int64_t* p, V v) { _mm256_store_si256(reinterpret_cast<V*>(p), v); }
// The new value in lanes whose section is within first..last, else the old one at `old`.
ZB_INLINE V Select(const int64_t* section, int first, int last, V v, const int64_t* old) {
  const V s = Load(section);
  const V outside = _mm256_or_si256(_mm256_cmpgt_epi64(_mm256_set1_epi64x(first), s),
                                    _mm256_cmpgt_epi64(s, _mm256_set1_epi64x(last)));
  return _mm256_blendv_epi8(v, Load(old), outside);
}
#include "core/output/equalizer_cascade_lanes.inc"
}  // namespace avx2
#undef ZB_TARGET

#define ZB_TARGET [[gnu::target("avx512f")]]
#pragma GCC diagnostic push
// GCC 12's 512-bit intrinsics take their unused pass-through from a self-initialised vector.
#pragma GCC diagnostic ignored "-Wuninitialized"
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
namespace avx512 {
using V = __m512i;
constexpr int kLanes = 8;
ZB_INLINE V Load(const int64_t* p) { return _mm512_load_si512(p); }
ZB_INLINE V LoadU(const int64_t* p) { return _mm512_loadu_si512(p); }
ZB_INLINE void StoreU(int64_t* p, V v) { _mm512_storeu_si512(p, v); }
ZB_INLINE V Mul(V a, V b) { return _mm512_mul_epi32(a, b); }
ZB_INLINE V Add(V a, V b) { return _mm512_add_epi64(a, b); }
ZB_INLINE V HighTimes16(V sum) {
  return _mm512_and_si512(_mm512_srli_epi64(sum, 28), _mm512_set1_epi64(~int64_t{15}));
}
ZB_INLINE void Store(int64_t* p, V v) { _mm512_store_si512(p, v); }
ZB_INLINE V Select(const int64_t* section, int first, int last, V v, const int64_t* old) {
  const V s = Load(section);
  const __mmask8 inside = _mm512_cmpge_epi64_mask(s, _mm512_set1_epi64(first)) &
                          _mm512_cmple_epi64_mask(s, _mm512_set1_epi64(last));
  return _mm512_mask_mov_epi64(Load(old), inside, v);
}
#include "core/output/equalizer_cascade_lanes.inc"
}  // namespace avx512
#pragma GCC diagnostic pop
#undef ZB_TARGET

#undef ZB_INLINE

bool Has(int bits) {
  static const bool has256 = __builtin_cpu_supports("avx2"), has512 = __builtin_cpu_supports("avx512f");
  return bits == 256 ? has256 : bits == 512 && has512;
}

}  // namespace

bool EqWideAvailable(int bits) { return Has(bits); }

bool RunEqCascadeWide(const EqCascade& cascade, SHORT* samples, int frames, int channels, int bits) {
  if (bits == 0) bits = Has(512) ? 512 : 256;
  if (!Has(bits) || channels < 1 || channels > kEqMaxChannels) return false;
  // A peaking c1 of -2^31 has no negation in 32 bits; no design makes one, but stay exact.
  for (int s = 0; s < cascade.count; ++s)
    if (cascade.peaking[s] && cascade.stages[s]->c1 == INT32_MIN) return false;
  const int blocks = frames / kRoundFrames;
  if (blocks > 0) {
    LaneTable table;
    // Lanes not yet on a block of this call read words from earlier calls and throw the result
    // away; zeroed once per thread, the words are never undefined.
    thread_local Rows rows{};
    Fill(table, cascade, channels);
    const Pipeline pipeline = {cascade.gain, samples, blocks, channels, cascade.count,
                               (cascade.count * channels + bits / 64 - 1) / (bits / 64)};
    if (cascade.count == 0) {
      PreampOnly(rows.word[0], cascade.gain, samples, blocks, channels);
    } else if (bits == 512) {
      avx512::RunRounds(table, rows, pipeline);
    } else {
      avx2::RunRounds(table, rows, pipeline);
    }
    Keep(table, cascade, channels);
  }
  // The frames short of a whole round go the plain way, on the histories carried here.
  const int tail = blocks * kRoundFrames;
  if (tail < frames) RunEqCascadePlain(cascade, samples + tail * channels, frames - tail, channels);
  return true;
}

#else

bool EqWideAvailable(int) { return false; }

bool RunEqCascadeWide(const EqCascade&, SHORT*, int, int, int) { return false; }

#endif
