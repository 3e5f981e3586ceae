// Multi-DSP loaded as the player loads it, from a program folder holding dsp_omnia and a library
// with a refused record: the chain takes what the player would accept and initialises what the
// player did not load, runs the enabled modules in chain order, promises the largest count, and
// writes back its "enable" string.
#include <filesystem>

#include "dsp_test_support.h"
#include "plugins/dsp/pitch_adjust.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

class MultiDsp : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder_);
    fs::copy_file(DSP_OMNIA_PATH, folder_ / "dsp_omnia.dll");
    fs::copy_file(DSP_REFUSING_PATH, folder_ / "dsp_refusing.dll");
    device_.WriteProfile("[program]\nhost = " + folder_.string() + "\n");
  }
  void TearDown() override {
    // As the player quits every module at its end; a test that quit Multi-DSP itself says so.
    for (DSPModule* m : modules_)
      if (m != modules_[6] || multi_) m->Quit();
    if (library_) FreeLibrary(library_);
    fs::remove_all(folder_);
  }
  // dsp_omnia as the player takes it: every record registered with its instance and initialised.
  void Load(const std::u16string& enable) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    RegCreateKeyExW(HKEY_CURRENT_USER, kMultiSettings.Path(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition);
    RegSetValueExW(key, u"enable", 0, REG_SZ, reinterpret_cast<const BYTE*>(enable.c_str()),
                   static_cast<DWORD>((enable.size() + 1) * 2));
    RegCloseKey(key);
    library_ = LoadLibraryW(u"dsp_omnia.dll");
    ASSERT_NE(library_, nullptr);
    auto get = reinterpret_cast<ZonbrelGetDSPModuleFn>(
        reinterpret_cast<void (*)()>(GetProcAddressW(library_, u"ZonbrelGetDSPModule")));
    for (int i = 0; get(library_, i); ++i) {
      modules_.push_back(get(library_, i));
      modules_.back()->hDllInstance = library_;
    }
    ASSERT_EQ(modules_.size(), 8u);
    multi_ = modules_[6];
    for (DSPModule* m : modules_) m->Init();
  }
  int RefusingCalls(bool quits) {
    HMODULE refusing = GetModuleHandleW(u"dsp_refusing.dll");
    if (!refusing) return -1;
    auto calls = reinterpret_cast<int (*)(int)>(reinterpret_cast<void (*)()>(GetProcAddressW(refusing, u"RefusingCalls")));
    return calls(quits);
  }
  std::u16string StoredEnable() {
    HKEY key = nullptr;
    WCHAR text[1100] = {};
    DWORD type = 0, size = sizeof text - 2;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kMultiSettings.Path(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
      RegQueryValueExW(key, u"enable", nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
      RegCloseKey(key);
    }
    return text;
  }

  TestDevice device_;
  fs::path folder_ = device_.root().parent_path() / (device_.root().filename().string() + "-program");
  HMODULE library_ = nullptr;
  std::vector<DSPModule*> modules_;
  DSPModule* multi_ = nullptr;
};

TEST_F(MultiDsp, EnabledModulesRunInChainOrderAndTheCountIsTheLargestPromise) {
  Load(u"\\dsp_omnia.dll,3\\\\dsp_omnia.dll,2\\");
  kEchoSettings.Write(u"pitch", 50);
  modules_[3]->Init();
  const Samples in = Sine(500, 11520 * 2, 2, 44100, 12000);
  const Samples chained = RunModule(*multi_, in, 2, 44100, 11520);
  // Echo (index 2) comes before Pitch (3) in the chain whatever the string's order.
  modules_[2]->Init(), modules_[3]->Init();
  Samples expected = RunModule(*modules_[3], RunModule(*modules_[2], in, 2, 44100, 11520), 2, 44100, 23040);
  EXPECT_EQ(chained.size(), in.size() * 2);
  EXPECT_TRUE(chained == expected);
  modules_[2]->Init();
  const Samples reversed = RunModule(*modules_[2], RunModule(*modules_[3], in, 2, 44100, 11520), 2, 44100, 23040);
  EXPECT_FALSE(chained == reversed);
  EXPECT_EQ(multi_->GetMaxSamples(1000, multi_), 2000);
  kEchoSettings.Write(u"pitch", 200);
  modules_[3]->Init();
  EXPECT_EQ(multi_->GetMaxSamples(1000, multi_), 1000) << "the larger of n and n / 2";
}

TEST_F(MultiDsp, TheChainTakesWhatThePlayerWouldAcceptAndInitialisesWhatItLoaded) {
  Load(u"\\dsp_refusing.dll,0\\\\dsp_refusing.dll,2\\");
  EXPECT_EQ(RefusingCalls(false), 1) << "the chain loaded it and ran its Init once";
  Samples block{10, 20, 30, 40};
  EXPECT_EQ(multi_->ModifySamples(block.data(), 2, 2, 16, 44100), 2);
  EXPECT_EQ(block, (Samples{11, 21, 31, 41})) << "the module after the refused record is not in the chain";
  multi_->Quit();
  EXPECT_EQ(StoredEnable(), u"\\dsp_refusing.dll,0\\");
  EXPECT_EQ(RefusingCalls(true), -1) << "quit and let go";
  multi_ = nullptr;
}

TEST_F(MultiDsp, ItNeverChainsItselfAndSavesOnlyWhatFits) {
  Load(u"\\dsp_omnia.dll,6\\\\dsp_omnia.dll,0\\");
  Samples block = Sine(100, 100, 2, 44100, 5000);
  multi_->ModifySamples(block.data(), 100, 2, 16, 44100);
  multi_->Quit();
  EXPECT_EQ(StoredEnable(), u"\\dsp_omnia.dll,0\\") << "Multi-DSP itself is never an entry";
  multi_ = nullptr;
}

}  // namespace
}  // namespace zb::testing
