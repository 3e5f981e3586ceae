// Equaliser preset lists and their EQF files, byte for byte, and the list's own rules (one
// entry per name, a stored name moves to the end).
#include <gtest/gtest.h>

#include "core/tests/fake_core.h"
#include "core/tests/product_device.h"
#include "settingsui/eq_preset_list.h"

namespace zb::testing {
namespace {

using Bytes = std::vector<BYTE>;

const Bytes kHeader = {'W', 'i', 'n', 'a', 'm', 'p', ' ', 'E', 'Q', ' ', 'l', 'i', 'b', 'r', 'a', 'r',
                       'y', ' ', 'f', 'i', 'l', 'e', ' ', 'v', '1', '.', '1', 0x1A, '!', '-', '-'};

Bytes Record(const std::string& name, BYTE preamp, std::vector<BYTE> bands) {
  Bytes r(268, 0);
  std::copy(name.begin(), name.end(), r.begin());
  r[257] = preamp;
  std::copy(bands.begin(), bands.end(), r.begin() + 258);
  return r;
}

Bytes File(std::initializer_list<Bytes> records, Bytes tail = {}) {
  Bytes out = kHeader;
  for (const Bytes& r : records) out.insert(out.end(), r.begin(), r.end());
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

std::vector<std::u16string> Names(const CEqPresetList& list) {
  std::vector<std::u16string> names;
  WCHAR name[CEqPresetList::kNameBytes];
  for (int i = 0; list.GetName(i, name); ++i) names.push_back(name);
  return names;
}

class EqfFiles : public ::testing::Test {
 protected:
  ProductDevice device;
  CEqPresetList list;
};

TEST_F(EqfFiles, AnEmptyListWritesTheHeaderAlone) {
  ASSERT_TRUE(list.SaveEqf(u"Presets.EQF"));
  EXPECT_EQ(ReadBytes(device.ProgramFile("Presets.EQF")), kHeader);
}

TEST_F(EqfFiles, OnePresetWritesTheDocumentedBytes) {
  const BYTE bands[10] = {40, 31, 31, 31, 31, 31, 31, 31, 31, 20};
  list.SetPreset(u"Rock", 31, bands);
  ASSERT_TRUE(list.SaveEqf(u"Presets.EQF"));
  const Bytes bytes = ReadBytes(device.ProgramFile("Presets.EQF"));
  ASSERT_EQ(bytes.size(), 299u);
  EXPECT_EQ(bytes, File({Record("Rock", 31, {40, 31, 31, 31, 31, 31, 31, 31, 31, 20})}));
  EXPECT_TRUE(std::all_of(bytes.begin() + 35, bytes.begin() + 288, [](BYTE b) { return b == 0; }));
}

TEST_F(EqfFiles, ReadingStopsAtTheLastWholeRecordAndIgnoresTrailingBytes) {
  for (size_t tail : {0u, 1u, 100u, 267u}) {
    SCOPED_TRACE(tail);
    WriteBytes(device.ProgramFile("t.eqf"),
               File({Record("One", 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), Record("Two", 20, {0, 63, 0, 63, 0, 63, 0, 63, 0, 63})},
                    Bytes(tail, 0x55)));
    CEqPresetList read;
    EXPECT_TRUE(read.LoadEqf(u"t.eqf"));
    EXPECT_EQ(Names(read), (std::vector<std::u16string>{u"One", u"Two"}));
    signed char preamp = 0;
    BYTE bands[10] = {};
    EXPECT_EQ(read.GetPreset(u"Two", &preamp, bands), 1);
    EXPECT_EQ(preamp, 20);
    EXPECT_EQ(Bytes(bands, bands + 10), (Bytes{0, 63, 0, 63, 0, 63, 0, 63, 0, 63}));
  }
}

TEST_F(EqfFiles, ADuplicateNameKeepsTheLaterValuesAtTheEnd) {
  WriteBytes(device.ProgramFile("d.eqf"), File({Record("Pop", 1, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}),
                                                Record("Jazz", 2, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2}),
                                                Record("Pop", 3, {3, 3, 3, 3, 3, 3, 3, 3, 3, 3})}));
  ASSERT_TRUE(list.LoadEqf(u"d.eqf"));
  EXPECT_EQ(Names(list), (std::vector<std::u16string>{u"Jazz", u"Pop"}));
  signed char preamp = 0;
  EXPECT_EQ(list.GetPreset(u"Pop", &preamp, nullptr), 1);
  EXPECT_EQ(preamp, 3);
}

TEST_F(EqfFiles, LoadingAddsToTheListAndAWrongHeaderAddsNothing) {
  const BYTE bands[10] = {};
  list.SetPreset(u"Mine", 31, bands);
  Bytes wrong = File({Record("X", 1, {})});
  wrong[27] = 0x1B;
  WriteBytes(device.ProgramFile("wrong.eqf"), wrong);
  EXPECT_FALSE(list.LoadEqf(u"wrong.eqf"));
  WriteBytes(device.ProgramFile("short.eqf"), Bytes(kHeader.begin(), kHeader.begin() + 20));
  EXPECT_FALSE(list.LoadEqf(u"short.eqf"));
  EXPECT_FALSE(list.LoadEqf(u"missing.eqf"));
  EXPECT_EQ(Names(list), std::vector<std::u16string>{u"Mine"});
  WriteBytes(device.ProgramFile("good.eqf"), File({Record("X", 1, {})}));
  EXPECT_TRUE(list.LoadEqf(u"good.eqf"));
  EXPECT_EQ(Names(list), (std::vector<std::u16string>{u"Mine", u"X"}));
}

TEST_F(EqfFiles, NamesRoundTripThroughTheAnsiPageAndLongOnesAreCut) {
  const BYTE bands[10] = {31, 31, 31, 31, 31, 31, 31, 31, 31, 31};
  const std::u16string longName(300, u'n');
  list.SetPreset(u"Caf\u00E9", 31, bands);
  list.SetPreset(longName.c_str(), 31, bands);
  list.SetPreset(u"rock", 31, bands);
  list.SetPreset(u"Rock", 31, bands);  // names differ in case: two presets
  ASSERT_TRUE(list.SaveEqf(u"Presets.EQF"));
  const Bytes bytes = ReadBytes(device.ProgramFile("Presets.EQF"));
  ASSERT_EQ(bytes.size(), 31u + 4 * 268);
  EXPECT_EQ(bytes[31 + 3], 0xE9);
  EXPECT_EQ(bytes[31 + 268 + 255], 'n');
  EXPECT_EQ(bytes[31 + 268 + 256], 0);
  CEqPresetList read;
  ASSERT_TRUE(read.LoadEqf(u"Presets.EQF"));
  EXPECT_EQ(Names(read), (std::vector<std::u16string>{u"Caf\u00E9", std::u16string(256, u'n'), u"rock", u"Rock"}));
}

TEST_F(EqfFiles, ANameWithABackslashIsUsedAsGiven) {
  const BYTE bands[10] = {};
  list.SetPreset(u"Card", 5, bands);
  ASSERT_TRUE(list.SaveEqf(u"\\Storage Card\\My.EQF"));
  EXPECT_EQ(ReadBytes(device.card() / "My.EQF").size(), 299u);
  EXPECT_FALSE(std::filesystem::exists(device.ProgramFile("My.EQF")));
  EXPECT_EQ(EqfFilePath(u"Presets.EQF"), u"\\Program Files\\Zonbrel\\Presets.EQF");
}

TEST_F(EqfFiles, AFailedSaveKeepsTheEarlierFile) {
  const BYTE bands[10] = {};
  list.SetPreset(u"Old", 1, bands);
  ASSERT_TRUE(list.SaveEqf(u"Presets.EQF"));
  for (int i = 0; i < 20; ++i) list.SetPreset((u"New " + std::u16string(1, u'A' + i)).c_str(), 2, bands);
  {
    FileSizeLimit limit(2000);
    EXPECT_FALSE(list.SaveEqf(u"Presets.EQF"));
  }
  EXPECT_EQ(ReadBytes(device.ProgramFile("Presets.EQF")), File({Record("Old", 1, {})}));
}

TEST(EqPresetList, EntriesByNameAndIndex) {
  CEqPresetList list;
  signed char preamp = 99;
  BYTE bands[10] = {7};
  EXPECT_EQ(list.GetPreset(nullptr, &preamp, bands), 0);  // empty: outputs untouched
  EXPECT_EQ(preamp, 99);
  EXPECT_EQ(bands[0], 7);
  const BYTE a[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const BYTE b[10] = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
  list.SetPreset(u"A", 11, a);
  list.SetPreset(u"B", 22, b);
  EXPECT_EQ(list.GetPreset(nullptr, &preamp, bands), 1);  // the first entry
  EXPECT_EQ(preamp, 11);
  EXPECT_EQ(list.IndexOf(u"B"), 1);
  EXPECT_EQ(list.IndexOf(u"b"), -1);
  list.SetPreset(u"A", 33, b);  // stored again: moves to the end
  EXPECT_EQ(list.IndexOf(u"A"), 1);
  list.SetPreset(u"B", 0, nullptr);  // no bands: deleted
  EXPECT_EQ(list.GetCount(), 1);
  WCHAR name[CEqPresetList::kNameBytes] = u"keep";
  EXPECT_EQ(list.GetName(1, name), 0);
  EXPECT_EQ(list.GetName(-1, name), 0);
  EXPECT_EQ(std::u16string(name), u"keep");
}

TEST(EqPresetList, StoreCurrentTakesTheCoresValues) {
  CEqPresetList list;
  EXPECT_EQ(list.StoreCurrent(u"Nothing"), 0);  // no core to ask
  FakeCore core;
  core.preamp = 45;
  for (int i = 0; i < 10; ++i) core.bands[i] = i * 6;
  EXPECT_EQ(list.StoreCurrent(u""), 0);
  EXPECT_EQ(list.StoreCurrent(nullptr), 0);
  EXPECT_EQ(list.StoreCurrent(u"Mine"), 1);
  EXPECT_EQ(list.GetCurrentName(), u"Mine");
  signed char preamp = 0;
  BYTE bands[10];
  ASSERT_EQ(list.GetPreset(u"Mine", &preamp, bands), 1);
  EXPECT_EQ(preamp, 45);
  EXPECT_EQ(Bytes(bands, bands + 10), (Bytes{0, 6, 12, 18, 24, 30, 36, 42, 48, 54}));
}

}  // namespace
}  // namespace zb::testing
