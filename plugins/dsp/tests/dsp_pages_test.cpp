// The one-slider pages of dsp_omnia, created from the library's own dialog resource as the
// player's DSP page creates them and driven by messages: their titles, labels, and the module
// values a moved track bar stores at once.
#include <commctrl.h>

#include <filesystem>
#include <string>

#include "dsp_test_support.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

struct PageCase {
  int index;
  const char16_t* title;
  const char16_t* firstLabel;
  int position;
  const char16_t* movedLabel;
};

// dsp_omnia loaded from a program folder of its own, as the player loads it.
class LibraryPages : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder_);
    fs::copy_file(DSP_OMNIA_PATH, folder_ / "dsp_omnia.dll");
    device_.WriteProfile("[program]\nhost = " + folder_.string() + "\n");
    InitCommonControls();
    library_ = LoadLibraryW(u"dsp_omnia.dll");
    ASSERT_NE(library_, nullptr);
    get_ = reinterpret_cast<ZonbrelGetDSPModuleFn>(
        reinterpret_cast<void (*)()>(GetProcAddressW(library_, u"ZonbrelGetDSPModule")));
  }
  void TearDown() override {
    if (page_) DestroyWindow(page_);
    FreeLibrary(library_);
    fs::remove_all(folder_);
  }
  std::u16string Text(HWND window) {
    WCHAR text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
  }

  TestDevice device_;
  fs::path folder_ = device_.root().parent_path() / (device_.root().filename().string() + "-pages");
  HMODULE library_ = nullptr;
  ZonbrelGetDSPModuleFn get_ = nullptr;
  HWND page_ = nullptr;
};

class DspPages : public LibraryPages, public ::testing::WithParamInterface<PageCase> {
 protected:
  void SetUp() override {
    LibraryPages::SetUp();
    module_ = get_(library_, GetParam().index);
    module_->Init();
  }
  DSPModule* module_ = nullptr;
};

TEST_P(DspPages, TheSliderShowsAndStoresTheModulesValue) {
  const PageCase& c = GetParam();
  ASSERT_EQ(module_->configDialogId, 103);
  page_ = CreateDialogParamW(library_, MAKEINTRESOURCEW(103), nullptr, reinterpret_cast<DLGPROC>(module_->configDialogProc), 0);
  ASSERT_NE(page_, nullptr);
  EXPECT_EQ(Text(page_), c.title);
  EXPECT_EQ(Text(GetDlgItem(page_, 1002)), c.firstLabel);
  SendDlgItemMessageW(page_, 1000, TBM_SETPOS, TRUE, c.position);
  SendMessageW(page_, WM_HSCROLL, 0, reinterpret_cast<LPARAM>(GetDlgItem(page_, 1000)));
  EXPECT_EQ(Text(GetDlgItem(page_, 1002)), c.movedLabel);
  module_->Quit();
}

INSTANTIATE_TEST_SUITE_P(OneSlider, DspPages,
                         ::testing::Values(PageCase{3, u"Adjust Pitch", u"-0%", 0, u"-100%"},
                                           PageCase{3, u"Adjust Pitch", u"-0%", 100, u"+50%"},
                                           PageCase{5, u"Chorus", u"Amount: 0.250Hz ", 1500, u"Amount: 1.500Hz "},
                                           PageCase{7, u"Surround", u"0% Surround", 255, u"100% Surround"}));

TEST(DspPagesStore, AMovedSliderActsOnTheNextBlock) {
  // The values land in the module at once: Pitch's promise and Surround's processing follow.
  TestDevice device;
  const fs::path folder = device.root().parent_path() / (device.root().filename().string() + "-store");
  fs::create_directories(folder);
  fs::copy_file(DSP_OMNIA_PATH, folder / "dsp_omnia.dll");
  device.WriteProfile("[program]\nhost = " + folder.string() + "\n");
  InitCommonControls();
  HMODULE library = LoadLibraryW(u"dsp_omnia.dll");
  ASSERT_NE(library, nullptr);
  auto get = reinterpret_cast<ZonbrelGetDSPModuleFn>(
      reinterpret_cast<void (*)()>(GetProcAddressW(library, u"ZonbrelGetDSPModule")));
  for (auto [index, position] : {std::pair{3, 0}, std::pair{7, 255}}) {
    DSPModule* m = get(library, index);
    m->Init();
    HWND page = CreateDialogParamW(library, MAKEINTRESOURCEW(103), nullptr, reinterpret_cast<DLGPROC>(m->configDialogProc), 0);
    ASSERT_NE(page, nullptr);
    SendDlgItemMessageW(page, 1000, TBM_SETPOS, TRUE, position);
    SendMessageW(page, WM_HSCROLL, 0, 0);
    DestroyWindow(page);
  }
  EXPECT_EQ(get(library, 3)->GetMaxSamples(1000, get(library, 3)), 2000);
  Samples frame{1000, -1000};
  get(library, 7)->ModifySamples(frame.data(), 1, 2, 16, 44100);
  EXPECT_EQ(frame, (Samples{2000, -2000}));
  get(library, 3)->Quit(), get(library, 7)->Quit();
  FreeLibrary(library);
  fs::remove_all(folder);
}

// Bass Boost's page opened at 60 Hz lands on position 109 and stores what that position means.
TEST_F(LibraryPages, BoostFilterAndStereoPagesShowTheirValues) {
  DSPModule* boost = get_(library_, 0);
  DSPModule* filters = get_(library_, 1);
  DSPModule* stereo = get_(library_, 4);
  boost->Init(), filters->Init(), stereo->Init();
  auto open = [&](DSPModule* m) {
    return CreateDialogParamW(library_, MAKEINTRESOURCEW(m->configDialogId), nullptr,
                              reinterpret_cast<DLGPROC>(m->configDialogProc), 0);
  };
  HWND page = open(boost);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(SendDlgItemMessageW(page, 1000, TBM_GETPOS, 0, 0), 109);
  EXPECT_EQ(Text(GetDlgItem(page, 1002)), u"Frequency: 59Hz");
  EXPECT_EQ(Text(GetDlgItem(page, 1003)), u"Boost: 15dB");
  DestroyWindow(page);

  page = open(filters);
  ASSERT_NE(page, nullptr);
  // 59 Hz maps to position 108, which means 58 Hz: each showing walks the mapping once more.
  EXPECT_EQ(Text(GetDlgItem(page, 1002)), u"Freq: 58Hz");
  EXPECT_EQ(SendDlgItemMessageW(page, 1004, CB_GETCOUNT, 0, 0), 8);
  SendDlgItemMessageW(page, 1004, CB_SETCURSEL, 7, 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(1004, CBN_SELCHANGE), 0);
  DestroyWindow(page);
  filters->Quit();
  EXPECT_EQ(kBoostSettings.Read(u"type", 0), 7);
  EXPECT_EQ(kBoostSettings.Read(u"frequency", 0), 58);

  page = open(stereo);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Text(page), u"Stereo Wide");
  EXPECT_EQ(Text(GetDlgItem(page, 1002)), u"0% Separation");
  SendDlgItemMessageW(page, 1004, CB_SETCURSEL, 1, 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(1004, CBN_SELCHANGE), 0);
  EXPECT_EQ(SendDlgItemMessageW(page, 1000, TBM_GETRANGEMAX, 0, 0), 200);
  SendDlgItemMessageW(page, 1000, TBM_SETPOS, TRUE, 60);
  SendMessageW(page, WM_HSCROLL, 0, 0);
  EXPECT_EQ(Text(GetDlgItem(page, 1002)), u"100% Left 60% Right");
  DestroyWindow(page);
  stereo->Quit();
  EXPECT_EQ(kEchoSettings.Read(u"stereo_panning", 0), -40);
  EXPECT_EQ(kEchoSettings.Read(u"stereo_mode", 0), 1);
}

}  // namespace
}  // namespace zb::testing
