// The decoder's generated tables against the format's data file (listed by
// list_format_tables.py): every Huffman code looks up to its symbol and length, every run-level
// word gives its run and level, the band rows follow the edge rules, and the pair codebook is the
// published one negated in Q30.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wma_audio_internal.h"
#include "wma_tables.h"
#include "wma_test_support.h"

namespace {

using namespace wma_test;

const uint16_t* TableNamed(const std::string& name) {
  if (name == "exponent") return kWmaExponentCode;
  if (name == "gain") return kWmaHighBandCode;
  return kWmaCoefficientCodes[name.back() - '0'];
}

TEST(WmaTables, ListingIsComplete) {
  const Listing& l = Tables();
  EXPECT_EQ(l.codes.size(), 121u + 37u + 666u + 555u + 1336u + 1072u + 476u + 435u);
  EXPECT_EQ(l.frequencies.size(), 25u);
  EXPECT_EQ(l.lsp.size(), 136u);
  EXPECT_EQ(l.widths.size(), 9u);
}

// Each code, followed by bits that belong to the next code, decodes to its own symbol and length.
TEST(WmaTables, EveryHuffmanCodeLooksUpToItsSymbol) {
  int checked = 0;
  for (const Code& c : Tables().codes) {
    if (c.length == 0) continue;
    for (uint32_t tail : {0u, 0xFFFFFFFFu, 0x5A5A5A5Au}) {
      const uint32_t word = c.bits << (32 - c.length) | (c.length < 32 ? tail >> c.length : 0);
      int length = 0;
      const int symbol = WmaHuffmanLookup(TableNamed(c.table), word, &length);
      ASSERT_EQ(symbol, c.symbol) << c.table << " code " << c.bits << "/" << c.length;
      ASSERT_EQ(length, c.length) << c.table << " symbol " << c.symbol;
    }
    ++checked;
  }
  EXPECT_GT(checked, 4000);
}

TEST(WmaTables, RunLevelWordsGiveTheirRunAndLevel) {
  int counts[6] = {};
  for (const auto& v : Tables().runLevels) {
    const uint16_t word = kWmaRunLevels[v[0]][v[1] - 2];
    const int width = word & 63;
    ASSERT_GE(width, 7);
    EXPECT_EQ((word >> 6) & ((1 << (width - 6)) - 1), v[3]) << "table " << v[0] << " symbol " << v[1];
    EXPECT_EQ(word >> width, v[2]) << "table " << v[0] << " symbol " << v[1];
    ++counts[v[0]];
  }
  for (int k = 0; k < 6; ++k) EXPECT_EQ(kWmaRunLevelCount[k], counts[k]);
}

constexpr uint32_t kRates[6] = {44100, 32000, 22050, 16000, 11025, 8000};

std::vector<int> Row(int row) {
  const WmaBandRow& r = kWmaBandRows[row];
  return std::vector<int>(r.edges, r.edges + r.count);
}

TEST(WmaTables, VersionOneRowsFollowTheFrameLength) {
  const int frameBits[6] = {11, 10, 10, 9, 9, 9};
  for (int r = 0; r < 6; ++r) {
    const uint32_t length = 1u << frameBits[r], rate = kRates[r];
    std::vector<int> want;
    for (uint32_t f : Tables().frequencies) {
      const uint32_t edge = std::min(length, (2 * length * f + rate / 2) / rate);
      want.push_back(static_cast<int>(edge));
      if (edge >= length) break;
    }
    EXPECT_EQ(Row(r), want) << "rate index " << r;
  }
}

TEST(WmaTables, VersionTwoRowsFollowTheWidthsOrTheRule) {
  const std::map<int, int> classes = {{0, 44100}, {1, 32000}, {2, 22050}};
  for (int r = 0; r < 6; ++r) {
    for (int bits = 11; bits >= 6; --bits) {
      const int row = r * 6 + 17 - bits;
      const uint32_t length = 1u << bits, rate = kRates[r];
      std::vector<int> want;
      if (bits == 6) {
        EXPECT_EQ(kWmaBandRows[row].count, 0) << "blocks of 64 are refused";
        continue;
      }
      if (classes.count(r) && bits <= 9) {
        const auto& w = Tables().widths.at({classes.at(r), bits - 7});
        int at = 0;
        for (int i = 1; i <= w[0]; ++i) want.push_back(at += w[i]);
      } else {
        uint32_t last = 0;
        for (uint32_t f : Tables().frequencies) {
          const uint32_t edge = std::min(length, 4 * ((2 * length * f + 2 * rate) / (4 * rate)));
          if (edge > last) want.push_back(static_cast<int>(last = edge));
          if (edge >= length) break;
        }
      }
      EXPECT_EQ(Row(row), want) << "rate index " << r << ", block " << length;
      ASSERT_FALSE(want.empty());
      EXPECT_EQ(want.back(), static_cast<int>(length)) << "a row ends at the block length";
    }
  }
}

TEST(WmaTables, PairCodebookIsThePublishedOneNegatedInQ30) {
  const auto& lsp = Tables().lsp;
  for (size_t i = 0; i < lsp.size(); ++i)
    EXPECT_NEAR(kWmaLspCodebook[i], -lsp[i] * (1 << 30), 1.0) << "value " << i;
  EXPECT_NEAR(kWmaLspCodebook[0] / double(1 << 30), -1.98733, 1e-5);
}

}  // namespace

// The computed tables of the transform and the envelope against double precision.
namespace {

constexpr double kQ31 = 2147483648.0, kQ30 = 1073741824.0;

TEST(WmaComputedTables, SlopeStepsWalkSineAndCosine) {
  for (int m = 7; m <= 11; ++m) {
    const uint16_t* steps = kWmaSineSlopes + 4096 - (1 << (m + 1));
    int64_t s = 0, c = 0x7FFFFFFF;
    for (int k = 0; k < (1 << (m - 1)); ++k) {
      s += static_cast<int64_t>(steps[2 * k]) << 9;
      c -= static_cast<int64_t>(steps[2 * k + 1]) << 9;
      const double angle = (2 * k + 1) * M_PI / (1 << (m + 2));
      ASSERT_NEAR(static_cast<double>(s), std::sin(angle) * kQ31, 512) << "m " << m << ", k " << k;
      ASSERT_NEAR(static_cast<double>(c), std::cos(angle) * kQ31, 512) << "m " << m << ", k " << k;
    }
  }
}

TEST(WmaComputedTables, RotationCosineAndRootsMatchDoublePrecision) {
  for (int k = 0; k < 512; ++k) {
    EXPECT_NEAR(kWmaRotation[k].a, std::cos(2 * M_PI * k / 4096) * kQ31, 1.0) << k;
    EXPECT_NEAR(kWmaRotation[k].b, std::sin(2 * M_PI * k / 4096) * kQ31, 1.0) << k;
  }
  EXPECT_NEAR(kWmaRotation[512].a, std::cos(M_PI / 4) * kQ31, 1.0);
  for (int j = 0; j <= 2048; ++j)
    EXPECT_NEAR(kWmaCosine[j], std::min(std::cos(M_PI * j / 4096) * kQ31, 2147483647.0), 1.0) << j;
  for (int i = 0; i <= 256; ++i) EXPECT_NEAR(kWmaQuarterRoot[i], std::pow(1 + i / 256.0, -0.25) * kQ30, 1.0) << i;
  for (int r = 0; r < 4; ++r) EXPECT_NEAR(kWmaQuarterStep[r], std::pow(2.0, -r / 4.0) * kQ30, 1.0) << r;
}

TEST(WmaComputedTables, FftTwiddlesAreCosPlusSinAndMinusSin) {
  int at = 0;
  for (int size : {16, 64, 256, 1024}) {
    for (int k = 0; k < size / 4; ++k) {
      const double theta = 2 * M_PI * k / size;
      for (double phi : {2 * theta, theta, 3 * theta}) {
        EXPECT_NEAR(kWmaFftTwiddles[at].a, std::min((std::cos(phi) + std::sin(phi)) * kQ30, 2147483647.0), 1.0);
        EXPECT_NEAR(kWmaFftTwiddles[at].b, -std::sin(phi) * kQ30, 1.0);
        ++at;
      }
    }
  }
  EXPECT_EQ(at, 1020);
}

}  // namespace
