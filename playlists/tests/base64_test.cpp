// Base64Decode: the size bound, decoding with and without padding, line breaks, and text that is
// not Base64.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base64.h"

namespace {

struct DecodeCase {
  const char* text;
  int result;
  std::string bytes;  // what is decoded, when the result is 0
};

const DecodeCase kCases[] = {
    {"", 0, ""},
    {"TWFu", 0, "Man"},
    {"TWE=", 0, "Ma"},
    {"TWE", 0, "Ma"},  // padding may be left off
    {"TQ==", 0, "M"},
    {"TQ", 0, "M"},
    {"aGVsbG8gd29ybGQ=", 0, "hello world"},
    {"AAEC/f7/", 0, std::string("\x00\x01\x02\xfd\xfe\xff", 6)},
    {"+/+/", 0, "\xfb\xff\xbf"},
    {"aGVs\r\nbG8=\n", 0, "hello"},  // wrapped lines
    {"T", -1, ""},                   // one character carries no byte
    {"TWFu!", -1, ""},
    {"TW-u", -1, ""},                // the URL alphabet is not this one
    {"TQ==TWFu", -1, ""},            // nothing after the padding
};

TEST(Base64Decode, ANullOutputAsksForTheSizeBound) {
  EXPECT_EQ(Base64Decode("", nullptr), 4);
  EXPECT_EQ(Base64Decode("TWFu", nullptr), 7);
  EXPECT_EQ(Base64Decode("aGVsbG8gd29ybGQ=", nullptr), 16);
  EXPECT_EQ(Base64Decode(nullptr, nullptr), 4);
}

TEST(Base64Decode, DecodesTheStandardAlphabetAndRefusesOtherText) {
  for (const DecodeCase& c : kCases) {
    std::vector<BYTE> out(static_cast<size_t>(Base64Decode(c.text, nullptr)), 0xEE);
    DWORD decoded = 12345;
    EXPECT_EQ(Base64Decode(c.text, out.data(), &decoded), c.result) << c.text;
    if (c.result != 0) continue;
    EXPECT_EQ(decoded, c.bytes.size()) << c.text;
    EXPECT_EQ(std::string(out.begin(), out.begin() + decoded), c.bytes) << c.text;
    EXPECT_EQ(out[decoded], 0) << c.text << ": a zero behind the bytes";
  }
  BYTE out[8];
  EXPECT_EQ(Base64Decode(nullptr, out), -1);
  EXPECT_EQ(Base64Decode("TWFu", out), 0) << "the count is optional";
}

}  // namespace

