// The Ogg module's equaliser works on the spectrum inside the Vorbis decoding: each channel's
// MDCT coefficients are scaled by a per-frequency gain before the inverse transform. The gains
// are built into one table per coefficient count when the settings change.
#pragma once
#include <cstdint>

// The two fields the equaliser keeps beside a Vorbis file object.
struct VorbisEqState {
  int eqEnabled;       // 0 off, anything else on
  int64_t* eqTables;   // kVorbisEqTableBytes, owned by the file object; null when not allocated
};

// Gains are Q31 numbers (2147483647 is unity) that may exceed 1.0, held at 2^47 (+96 dB) at the
// most. The table for n coefficients
// starts at gain index n of the block, so the nine tables (32 ... 8192) fill it without a gap.
constexpr int kVorbisEqSmallest = 32;
constexpr int kVorbisEqLargest = 8192;
constexpr int kVorbisEqTableBytes = 2 * kVorbisEqLargest * static_cast<int>(sizeof(int64_t));

// Stores `enable`; when it is set, rebuilds all nine tables from the band values and preamp
// (signed bytes, 0 = +20 dB, 63 = -20 dB each).
void VorbisEqSet(VorbisEqState* eq, int enable, int bandCount, const signed char* bands, signed char preamp);
// Fills n gains: from the band values when bandCount >= 0; with a negative bandCount, `values`
// is another table of -bandCount gains, sampled (or repeated) to n entries.
void VorbisEqBuildTable(int64_t* table, int n, int bandCount, const void* values, signed char preamp);
// Scales n coefficients in place, saturating; nothing when the equaliser is off or n has no table.
void VorbisEqApply(const VorbisEqState* eq, int32_t* coefficients, int n);
// The decoding's entry: one channel of one block, n = half the block size.
void VorbisEqApplyChannel(const VorbisEqState* eq, int32_t* coefficients, int n);
