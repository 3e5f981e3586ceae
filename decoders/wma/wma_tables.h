// The WMA decoder's constant tables. tools/make_wma_tables.py writes them at build time from the
// format's published code tables (data/format-tables.json) in the layouts the decoder reads, and
// computes the transform's and the envelope's trigonometric and power tables, so the decoder
// itself never touches floating point.
#pragma once
#include <cstdint>

// Huffman tables in two layouts, told apart by their first word: 0 a tree walked two bits at a
// time (one bit after code bit 16), any other value a multi-level table whose first level is
// indexed by that many bits. An unused code slot decodes to the invalid symbol.
#define WMA_TREE_INVALID 1023
#define WMA_LEVELS_INVALID 2047

extern const uint16_t kWmaExponentCode[];  // symbol s is the exponent step s - 60
extern const uint16_t kWmaHighBandCode[];  // symbol s is the noise gain step s - 18
// Coefficient codes in sets of two (0-1, 2-3, 4-5): symbol 0 escapes, 1 ends the block, and each
// symbol from 2 on has its run-level word: k in bits 0-5, the level in bits 6 to k-1, the run above.
extern const uint16_t* const kWmaCoefficientCodes[6];
extern const uint16_t* const kWmaRunLevels[6];
extern const uint16_t kWmaRunLevelCount[6];

// Band upper edges in coefficients, the last equal to the block length: rows 0-5 serve version 1
// by rate index, rows 6-41 version 2 (rate index * 6 + 17 - block bits). Count 0 marks a row the
// decoder must refuse (version 2 blocks of 64).
struct WmaBandRow {
  uint8_t count;
  uint16_t edges[25];
};
extern const WmaBandRow kWmaBandRows[42];

// The ten line-spectral-pair codebook rows (8 or 16 values), as -2 cos(w) in Q30.
extern const int32_t kWmaLspCodebook[136];

// Slope sections for slope bits m = 7..11 at 4096 - 2^(m+1): 2^(m-1) pairs {sine step, cosine
// step}; from s = 0, c = 0x7FFFFFFF, adding sine step << 9 to s and taking cosine step << 9 from c
// walks sin and cos of (2k + 1) pi / 2^(m+2) in Q31.
extern const uint16_t kWmaSineSlopes[4096];

struct WmaPair {
  int32_t a, b;
};
// {cos, sin} of 2 pi k / 4096 in Q31 for k = 0..511, then {cos(pi / 4), 0}.
extern const WmaPair kWmaRotation[513];
// For the radix-4 passes of sizes 16, 64, 256 and 1024 in turn, per butterfly k the twiddles of
// 2t, t and 3t (t = 2 pi k / size), each {cos + sin, -sin} in Q30.
extern const WmaPair kWmaFftTwiddles[1020];
// The inverse transform's rotations: for block bits b = 7..11 at N/2 - 64 (N = 2^b), pair i is
// {cos, sin} of 2 pi (i + 1/8) / 2N in Q31.
extern const WmaPair kWmaImdctTwiddles[1984];
// {cos, sin} of 2 pi j / 1024 in Q31, j = 0..511: the roots of the FFT of up to 1024 points.
extern const WmaPair kWmaFftRoots[512];
// cos(pi j / 4096) in Q31, j = 0..2048.
extern const int32_t kWmaCosine[2049];
// (1 + i / 256)^(-1/4) for i = 0..256 and 2^(-r/4) for r = 0..3, in Q30.
extern const int32_t kWmaQuarterRoot[257];
extern const int32_t kWmaQuarterStep[4];
