// The WMA library over hand-built ASF files: the header it takes and the header faults it
// refuses (cut short anywhere, object sizes past the file, unequal packet sizes, a foreign
// Reserved2), rates and format tags it has no decoder for, the Content Description cut to the
// caller's buffer and terminated, the extra data bounded by its slot, packet counts that lie, and
// seeking. The frame decoding behind it is the format's (or, until that is built, silence).
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wma_asf_packets.h"
#include "wma_lib.h"
#include "wma_memory_source.h"

namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void Put64(std::vector<uint8_t>& b, uint64_t v) {
  Put32(b, static_cast<uint32_t>(v));
  Put32(b, static_cast<uint32_t>(v >> 32));
}
void PutGuid(std::vector<uint8_t>& b, uint32_t d1, uint16_t d2, uint16_t d3, uint64_t d4) {
  Put32(b, d1);
  Put16(b, d2);
  Put16(b, d3);
  for (int i = 7; i >= 0; --i) b.push_back(static_cast<uint8_t>(d4 >> (8 * i)));
}

// An object: its GUID, its size (or a given one) and its data.
std::vector<uint8_t> Object(void (*guid)(std::vector<uint8_t>&), const std::vector<uint8_t>& data,
                            uint64_t size = 0) {
  std::vector<uint8_t> o;
  guid(o);
  Put64(o, size ? size : 24 + data.size());
  o.insert(o.end(), data.begin(), data.end());
  return o;
}

void HeaderGuid(std::vector<uint8_t>& b) { PutGuid(b, 0x75B22630, 0x668E, 0x11CF, 0xA6D900AA0062CE6Cull); }
void FilePropsGuid(std::vector<uint8_t>& b) { PutGuid(b, 0x8CABDCA1, 0xA947, 0x11CF, 0x8EE400C00C205365ull); }
void StreamPropsGuid(std::vector<uint8_t>& b) { PutGuid(b, 0xB7DC0791, 0xA9B7, 0x11CF, 0x8EE600C00C205365ull); }
void AudioGuid(std::vector<uint8_t>& b) { PutGuid(b, 0xF8699E40, 0x5B4D, 0x11CF, 0xA8FD00805F5C442Bull); }
void NoCorrectionGuid(std::vector<uint8_t>& b) { PutGuid(b, 0x20FB5700, 0x5B55, 0x11CF, 0xA8FD00805F5C442Bull); }
void DescriptionGuid(std::vector<uint8_t>& b) { PutGuid(b, 0x75B22633, 0x668E, 0x11CF, 0xA6D900AA0062CE6Cull); }
void ExtraGuid(std::vector<uint8_t>& b) { PutGuid(b, 0x8FA7857B, 0xDDC0, 0x11D3, 0xB6BD00C04F610D62ull); }
void DataGuid(std::vector<uint8_t>& b) { PutGuid(b, 0x75B22636, 0x668E, 0x11CF, 0xA6D900AA0062CE6Cull); }

struct Spec {
  uint16_t tag = 0x161;
  uint16_t channels = 2;
  uint32_t rate = 44100;
  uint32_t bytesPerSecond = 16000;
  uint32_t blockAlign = 64;
  uint16_t options = 1;
  uint32_t packets = 10;        // written
  uint32_t countClaimed = 0;    // in the file properties, 0 for the true count
  uint32_t minSize = 0, maxSize = 0;  // 0 for the true packet size
  uint64_t sendDuration = 0;    // 100-ns units; 0 for packets x 100 ms
  uint8_t reserved2 = 2;
  std::u16string title = u"A title", author = u"Someone";
  std::vector<uint8_t> extra;   // an extra-data object's payload, when any
};

constexpr uint32_t kPacketHead = 12, kPayloadHead = 15, kPreroll = 3000, kPacketMs = 100;

std::vector<uint8_t> Build(const Spec& s) {
  const uint32_t packetSize = kPacketHead + kPayloadHead + s.blockAlign;
  std::vector<uint8_t> props(80, 0);
  {
    std::vector<uint8_t> p;
    for (int i = 0; i < 16; ++i) p.push_back(0);
    Put64(p, 0);
    Put64(p, 0);
    Put64(p, s.countClaimed ? s.countClaimed : s.packets);
    Put64(p, s.sendDuration ? s.sendDuration : s.packets * kPacketMs * 10000ull);
    Put64(p, s.sendDuration ? s.sendDuration : s.packets * kPacketMs * 10000ull);
    Put64(p, kPreroll);
    Put32(p, 2);
    Put32(p, s.minSize ? s.minSize : packetSize);
    Put32(p, s.maxSize ? s.maxSize : packetSize);
    Put32(p, s.bytesPerSecond * 8);
    props = p;
  }
  std::vector<uint8_t> wave;
  Put16(wave, s.tag);
  Put16(wave, s.channels);
  Put32(wave, s.rate);
  Put32(wave, s.bytesPerSecond);
  Put16(wave, static_cast<uint16_t>(s.blockAlign));
  Put16(wave, 16);
  Put16(wave, 10);
  Put32(wave, 2048);
  Put16(wave, s.options);
  Put32(wave, 0);
  std::vector<uint8_t> stream;
  AudioGuid(stream);
  NoCorrectionGuid(stream);
  Put64(stream, 0);
  Put32(stream, static_cast<uint32_t>(wave.size()));
  Put32(stream, 0);
  Put16(stream, 1);
  Put32(stream, 0);
  stream.insert(stream.end(), wave.begin(), wave.end());
  std::vector<uint8_t> description;
  const std::u16string texts[5] = {s.title, s.author, u"", u"", u""};
  for (const auto& t : texts) Put16(description, static_cast<uint32_t>(t.size() * 2));
  for (const auto& t : texts)
    for (char16_t c : t) Put16(description, c);
  std::vector<std::vector<uint8_t>> objects = {Object(FilePropsGuid, props), Object(StreamPropsGuid, stream),
                                               Object(DescriptionGuid, description)};
  if (!s.extra.empty()) objects.push_back(Object(ExtraGuid, s.extra));
  std::vector<uint8_t> file;
  HeaderGuid(file);
  size_t size = 30;
  for (const auto& o : objects) size += o.size();
  Put64(file, size);
  Put32(file, static_cast<uint32_t>(objects.size()));
  file.push_back(1);
  file.push_back(s.reserved2);
  for (const auto& o : objects) file.insert(file.end(), o.begin(), o.end());
  DataGuid(file);
  Put64(file, 50 + static_cast<uint64_t>(packetSize) * s.packets);
  for (int i = 0; i < 16; ++i) file.push_back(0);
  Put64(file, s.packets);
  Put16(file, 0x101);
  for (uint32_t k = 0; k < s.packets; ++k) {
    std::vector<uint8_t> p = {0x82, 0, 0, 0x08, 0x5D, 0};  // no padding
    Put32(p, kPreroll + k * kPacketMs);
    Put16(p, kPacketMs);
    p.push_back(0x81);  // stream 1, key frame
    p.push_back(static_cast<uint8_t>(k));
    Put32(p, 0);        // offset into the media object
    p.push_back(8);
    Put32(p, s.blockAlign);
    Put32(p, kPreroll + k * kPacketMs);
    for (uint32_t i = 0; i < s.blockAlign; ++i) p.push_back(static_cast<uint8_t>(i * 37 + k));
    file.insert(file.end(), p.begin(), p.end());
  }
  return file;
}

class WmaLib : public ::testing::Test {
 protected:
  void Open(std::vector<uint8_t> bytes) {
    bytes_ = std::move(bytes);
    memory_ = WmaMemorySource{bytes_.data(), bytes_.size()};
    lib_ = std::make_unique<WmaLibState>();
    WmaReadFrom(lib_.get(), &memory_);
  }
  // Decodes to the end (bounded): the samples per channel made and the last result.
  uint64_t DecodeAll(int* last = nullptr) {
    uint64_t samples = 0;
    std::vector<int16_t> pcm(2 * 4096);
    int result = 0;
    for (int guard = 0; guard < 10000; ++guard) {
      uint32_t status = 0;
      result = WmaLibDecode(lib_.get(), &status);
      if (result != WMA_LIB_OK) break;
      for (uint32_t n; (n = WmaLibGetPcm(lib_.get(), pcm.data(), nullptr, 4096)) > 0;) samples += n;
    }
    if (last) *last = result;
    return samples;
  }
  std::vector<uint8_t> bytes_;
  WmaMemorySource memory_{};
  std::unique_ptr<WmaLibState> lib_;
};

TEST_F(WmaLib, TakesAWellFormedFile) {
  Spec s;
  Open(Build(s));
  ASSERT_EQ(WmaLibCreate(lib_.get()), WMA_LIB_OK);
  ASSERT_EQ(WmaLibParseHeader(lib_.get()), WMA_LIB_OK);
  WmaFormatInfo f{};
  ASSERT_EQ(WmaLibGetFormat(lib_.get(), &f), WMA_LIB_OK);
  EXPECT_EQ(f.codecVersion, 2);
  EXPECT_EQ(f.rateIndex, 0);
  EXPECT_EQ(f.channels, 2);
  EXPECT_EQ(f.durationMs, 1000u);
  EXPECT_EQ(f.blockAlign, 64u);
  EXPECT_EQ(f.packetSize, kPacketHead + kPayloadHead + 64);
  EXPECT_EQ(f.bitRate, 128000u);
  int last = 0;
  // One frame a packet; the first only fills the overlap.
  EXPECT_EQ(DecodeAll(&last), 9u * 2048);
  EXPECT_EQ(last, WMA_LIB_END);
}

TEST_F(WmaLib, DescriptionIsCutToTheBufferAndTerminated) {
  Spec s;
  s.title = u"A rather long title";
  Open(Build(s));
  ASSERT_EQ(WmaLibCreate(lib_.get()), WMA_LIB_OK);
  ASSERT_EQ(WmaLibParseHeader(lib_.get()), WMA_LIB_OK);
  char16_t title[8], author[64], rest[3][4];
  std::memset(title, 0x55, sizeof title);
  WmaContentDescription r{};
  r.lengths[0] = sizeof title;
  r.lengths[1] = sizeof author;
  r.buffers[0] = title;
  r.buffers[1] = author;
  for (int k = 2; k < 5; ++k) {
    r.lengths[k] = sizeof rest[0];
    r.buffers[k] = rest[k - 2];
  }
  ASSERT_EQ(WmaLibGetContentDescription(lib_.get(), &r), WMA_LIB_OK);
  EXPECT_EQ(std::u16string(title), u"A rathe");  // 7 characters and the zero, in 16 bytes
  EXPECT_EQ(r.lengths[0], s.title.size() * 2);  // the full length comes back
  EXPECT_EQ(std::u16string(author), u"Someone");
  EXPECT_EQ(r.lengths[2], 0);
  EXPECT_EQ(rest[0][0], 0);
  // The counts came back as the file's lengths: a second request states its room again.
  r.lengths[0] = sizeof title;
  r.lengths[1] = sizeof author;
  r.buffers[1] = nullptr;
  EXPECT_EQ(WmaLibGetContentDescription(lib_.get(), &r), WMA_LIB_NULL);
}

TEST_F(WmaLib, SendDurationBecomesMilliseconds) {
  Spec s;
  s.sendDuration = 2000000000ull;
  Open(Build(s));
  ASSERT_EQ(WmaLibCreate(lib_.get()), WMA_LIB_OK);
  EXPECT_EQ(lib_->header.durationMs, 200000u);
}

TEST_F(WmaLib, RefusesHeaderFaults) {
  struct Case {
    const char* what;
    void (*change)(Spec&);
    int create;
  } cases[] = {
      {"Reserved2 not 2", [](Spec& s) { s.reserved2 = 3; }, WMA_LIB_SHORT_READ},
      {"packet sizes differ", [](Spec& s) { s.maxSize = s.blockAlign + 100; }, WMA_LIB_SHORT_READ},
      {"another format tag", [](Spec& s) { s.tag = 0x162; }, WMA_LIB_SHORT_READ},
      {"format 0x130", [](Spec& s) { s.tag = 0x130; }, WMA_LIB_FORMAT_130},
  };
  for (const Case& c : cases) {
    Spec s;
    c.change(s);
    Open(Build(s));
    EXPECT_EQ(WmaLibCreate(lib_.get()), c.create) << c.what;
  }
}

TEST_F(WmaLib, RefusesWhatItHasNoDecoderFor) {
  struct Case {
    const char* what;
    void (*change)(Spec&);
    int parse;
  } cases[] = {
      {"48 kHz", [](Spec& s) { s.rate = 48000; }, WMA_LIB_BAD_RATE},
      {"format 0x130", [](Spec& s) { s.tag = 0x130; }, WMA_LIB_NO_DECODER},
      {"three channels", [](Spec& s) { s.channels = 3; }, 9},
      {"32768 bytes a second", [](Spec& s) { s.bytesPerSecond = 32768; }, WMA_LIB_INTERNAL},
  };
  for (const Case& c : cases) {
    Spec s;
    c.change(s);
    Open(Build(s));
    EXPECT_EQ(WmaLibParseHeader(lib_.get()), c.parse) << c.what;
    uint32_t status = 0;
    EXPECT_NE(WmaLibDecode(lib_.get(), &status), WMA_LIB_OK) << c.what;
  }
}

TEST_F(WmaLib, EveryCutOfTheFileFailsCleanly) {
  const std::vector<uint8_t> whole = Build(Spec{});
  for (size_t cut = 0; cut < whole.size(); cut += cut < 400 ? 1 : 7) {
    Open(std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
    const int created = WmaLibCreate(lib_.get());
    const size_t headerEnd = 30 + 104 + 78 + 28 + 24 + 10 + 2 * (7 + 7);
    if (cut < headerEnd) {
      EXPECT_NE(created, WMA_LIB_OK) << "a header cut at " << cut << " was taken";
    }
    if (created != WMA_LIB_OK) continue;
    if (WmaLibParseHeader(lib_.get()) != WMA_LIB_OK) continue;
    int last = 0;
    DecodeAll(&last);
    EXPECT_NE(last, WMA_LIB_OK) << "cut at " << cut;
  }
}

TEST_F(WmaLib, ObjectSizesPastTheFileEndTheWalk) {
  std::vector<uint8_t> file = Build(Spec{});
  // The stream properties object claims to run far past the header: the walk stops before it
  // and the file is refused for want of an audio stream.
  const size_t at = 30 + 104 + 16;
  for (uint64_t size : {uint64_t{0xFFFFFFFF}, uint64_t{1} << 40, uint64_t{23}}) {
    for (int i = 0; i < 8; ++i) file[at + i] = static_cast<uint8_t>(size >> (8 * i));
    Open(file);
    EXPECT_NE(WmaLibCreate(lib_.get()), WMA_LIB_OK) << size;
  }
  // A header size past the file.
  file = Build(Spec{});
  file[16 + 3] = 0x7F;
  Open(file);
  EXPECT_NE(WmaLibCreate(lib_.get()), WMA_LIB_OK);
}

TEST_F(WmaLib, PacketCountsThatLieEndAtTheFileEnd) {
  for (uint32_t claimed : {11u, 1000u, 0xFFFFFFFFu}) {
    Spec s;
    s.countClaimed = claimed;
    Open(Build(s));
    ASSERT_EQ(WmaLibCreate(lib_.get()), WMA_LIB_OK);
    ASSERT_EQ(WmaLibParseHeader(lib_.get()), WMA_LIB_OK);
    int last = 0;
    EXPECT_EQ(DecodeAll(&last), 9u * 2048) << claimed;
    EXPECT_NE(last, WMA_LIB_OK);
  }
}

TEST_F(WmaLib, ExtraDataIsBoundedByItsSlot) {
  Spec s;
  s.extra.assign(8, 0);
  const uint32_t length = 400;  // more than the 268-byte slot
  for (int i = 0; i < 4; ++i) s.extra[4 + i] = static_cast<uint8_t>(length >> (8 * i));
  for (uint32_t i = 0; i < length; ++i) s.extra.push_back(static_cast<uint8_t>(i));
  Open(Build(s));
  ASSERT_EQ(WmaLibCreate(lib_.get()), WMA_LIB_OK);
  EXPECT_EQ(lib_->header.extraDataLength, kWmaExtraDataSlot);
  EXPECT_EQ(lib_->header.extraData[kWmaExtraDataSlot - 1], static_cast<uint8_t>(kWmaExtraDataSlot - 1));
  // A length past its object is refused.
  s.extra.resize(8 + 100);
  Open(Build(s));
  EXPECT_EQ(WmaLibCreate(lib_.get()), WMA_LIB_SHORT_READ);
}

TEST_F(WmaLib, SeeksLandOnPacketsInOrder) {
  Spec s;
  s.packets = 40;
  Open(Build(s));
  ASSERT_EQ(WmaLibCreate(lib_.get()), WMA_LIB_OK);
  ASSERT_EQ(WmaLibParseHeader(lib_.get()), WMA_LIB_OK);
  uint32_t previous = 0;
  for (uint32_t target = 0; target <= 4000; target += 250) {
    const uint32_t reached = WmaLibSeek(lib_.get(), target);
    EXPECT_GE(reached, previous) << target;
    EXPECT_LE(reached, 4000u);
    if (target < 3900) {
      EXPECT_LE(reached > target ? reached - target : target - reached, 2 * kPacketMs) << target;
    }
    previous = reached;
  }
  WmaLibSeek(lib_.get(), 2000);
  EXPECT_GT(DecodeAll(), 0u);
}

}  // namespace

namespace {

// The data packet header's flags, one fault at a time, over a packet that parses.
TEST(WmaPacketHeader, FlagsOutsideTheFormatAreRefused) {
  const std::vector<uint8_t> good = {0x82, 0, 0, 0x08, 0x5D, 0, 1, 0, 0, 0, 100, 0, 0x81, 0, 0, 0, 0, 0, 0};
  WmaPacketInfo info{};
  ASSERT_EQ(WmaParsePacketHeader(good.data(), static_cast<uint32_t>(good.size()), &info), WMA_LIB_OK);
  EXPECT_EQ(info.sendTime, 1u);
  EXPECT_EQ(info.duration, 100);
  EXPECT_EQ(info.firstPayload, 12u);
  EXPECT_FALSE(info.multiple);
  struct Case {
    const char* what;
    size_t at;
    uint8_t value;
    int result;
  } cases[] = {
      {"error correction bits 5-6", 0, 0xA2, WMA_LIB_UNSUPPORTED},
      {"error correction length 3", 0, 0x83, WMA_LIB_UNSUPPORTED},
      {"packet length of one byte", 3, 0x28, WMA_LIB_UNSUPPORTED},
      {"padding of type 3", 3, 0x18, WMA_LIB_UNSUPPORTED},
      {"stream number length 2", 4, 0x9D, WMA_LIB_UNSUPPORTED},
      {"no offset field", 4, 0x51, WMA_LIB_UNSUPPORTED},
      {"padding past the packet", 5, 0xFF, WMA_LIB_NOT_ASF},
      {"multiple payloads, count 0", 3, 0x09, WMA_LIB_UNSUPPORTED},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> p = good;
    p[c.at] = c.value;
    if (c.at == 3 && c.value == 0x09) p[12] = 0x80;  // payload flags: lengths of two bytes, no payloads
    EXPECT_EQ(WmaParsePacketHeader(p.data(), static_cast<uint32_t>(p.size()), &info), c.result) << c.what;
  }
  std::vector<uint8_t> opaque = good;
  opaque[0] = 0x90;
  ASSERT_EQ(WmaParsePacketHeader(opaque.data(), static_cast<uint32_t>(opaque.size()), &info), WMA_LIB_OK);
  EXPECT_TRUE(info.skip);
  for (uint32_t size = 0; size < 12; ++size)
    EXPECT_NE(WmaParsePacketHeader(good.data(), size, &info), WMA_LIB_OK) << "cut to " << size;
}

}  // namespace
