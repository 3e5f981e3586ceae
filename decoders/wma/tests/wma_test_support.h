// What the WMA tests share: a writer of bitstreams, most significant bit first, and the format's
// tables as the data file lists them, to hand-build streams and check lookups against.
#pragma once
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace wma_test {

class BitWriter {
 public:
  void Put(uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) {
      if (bits_ % 8 == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> (bits_ % 8));
      ++bits_;
    }
  }
  size_t bits() const { return bits_; }
  std::vector<uint8_t> Take(size_t size) {
    bytes_.resize(size, 0);
    return bytes_;
  }

 private:
  std::vector<uint8_t> bytes_;
  size_t bits_ = 0;
};

struct Code {
  std::string table;
  int symbol;
  uint32_t bits;
  int length;
};

struct Listing {
  std::vector<Code> codes;
  std::vector<std::vector<int>> runLevels;  // {table, symbol, run, level}
  std::vector<uint32_t> frequencies;
  std::map<std::pair<int, int>, std::vector<int>> widths;  // {rate, row} -> count, widths...
  std::vector<double> lsp;
};

inline const Listing& Tables() {
  static const Listing listing = [] {
    Listing l;
    std::ifstream in(WMA_FORMAT_LISTING);
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream f(line);
      std::string kind;
      f >> kind;
      if (kind == "code") {
        Code c;
        f >> c.table >> c.symbol >> c.bits >> c.length;
        l.codes.push_back(c);
      } else if (kind == "runlevel") {
        std::vector<int> v(4);
        f >> v[0] >> v[1] >> v[2] >> v[3];
        l.runLevels.push_back(v);
      } else if (kind == "frequencies") {
        for (uint32_t x; f >> x;) l.frequencies.push_back(x);
      } else if (kind == "widths") {
        int rate = 0, row = 0;
        f >> rate >> row;
        auto& w = l.widths[{rate, row}];
        for (int x; f >> x;) w.push_back(x);
      } else if (kind == "lsp") {
        int index = 0;
        double value = 0;
        f >> index >> value;
        l.lsp.push_back(value);
      }
    }
    return l;
  }();
  return listing;
}


// The code of a symbol in one of the listed tables ("exponent", "gain", "coef0" ...).
inline const Code& CodeOf(const std::string& table, int symbol) {
  for (const Code& c : Tables().codes)
    if (c.table == table && c.symbol == symbol) return c;
  static const Code none{};
  return none;
}

}  // namespace wma_test
