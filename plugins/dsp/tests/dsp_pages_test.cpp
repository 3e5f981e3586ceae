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

class DspPages : public ::testing::TestWithParam<PageCase> {
 protected:
  void SetUp() override {
    fs::create_directories(folder_);
    fs::copy_file(DSP_OMNIA_PATH, folder_ / "dsp_omnia.dll");
    device_.WriteProfile("[program]\nhost = " + folder_.string() + "\n");
    InitCommonControls();
    library_ = LoadLibraryW(u"dsp_omnia.dll");
    ASSERT_NE(library_, nullptr);
    auto get = reinterpret_cast<ZonbrelGetDSPModuleFn>(
        reinterpret_cast<void (*)()>(GetProcAddressW(library_, u"ZonbrelGetDSPModule")));
    module_ = get(library_, GetParam().index);
    module_->Init();
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
  DSPModule* module_ = nullptr;
  HWND page_ = nullptr;
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

}  // namespace
}  // namespace zb::testing
