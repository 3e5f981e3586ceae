// File-change and registry notifications: what a window is told when files and folders of the
// device come, go, are renamed or written, and when a storage card is taken out and put back;
// the registry value a window watches, with and without a condition.
#include "shell_support.h"

#include <filesystem>
#include <fstream>

namespace {

using namespace stest;

class ChangeNotifyTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    std::filesystem::create_directories(device_.Host("My Documents/Music/Deep"));
  }
  void TearDown() override {
    SHChangeNotifyDeregister(sink_);
    ShellTest::TearDown();
  }
  void Register(const char16_t* folder, bool recursive, DWORD mask = SHCNE_ALLEVENTS) {
    SHCHANGENOTIFYENTRY entry{mask, const_cast<LPWSTR>(folder), recursive ? TRUE : FALSE};
    ASSERT_TRUE(SHChangeNotifyRegister(sink_, &entry));
  }
  // Waits for the event that a change produced, then gives what was heard in order.
  std::vector<std::pair<LONG, std::u16string>> WaitFor(LONG last) {
    EXPECT_TRUE(PumpUntil([last] {
      for (const Heard& h : Only(WM_FILECHANGEINFO))
        if (h.event == last) return true;
      return false;
    }));
    std::vector<std::pair<LONG, std::u16string>> out;
    for (const Heard& h : Only(WM_FILECHANGEINFO)) out.emplace_back(h.event, h.item2.empty() ? h.item1 : h.item1 + u" > " + h.item2);
    Log().clear();
    return out;
  }
  void Write(const std::filesystem::path& relative, const char* text) { std::ofstream(device_.Host(relative)) << text; }
};

using Events = std::vector<std::pair<LONG, std::u16string>>;

TEST_F(ChangeNotifyTest, FilesAndFoldersOfTheWatchedFolder) {
  Register(u"\\My Documents\\Music", false);
  Write("My Documents/Music/a.mp3", "x");
  EXPECT_EQ(WaitFor(SHCNE_UPDATEITEM),
            (Events{{SHCNE_CREATE, u"\\My Documents\\Music\\a.mp3"}, {SHCNE_UPDATEITEM, u"\\My Documents\\Music\\a.mp3"}}));
  ASSERT_TRUE(MoveFileW(u"\\My Documents\\Music\\a.mp3", u"\\My Documents\\Music\\b.mp3"));
  EXPECT_EQ(WaitFor(SHCNE_RENAMEITEM),
            (Events{{SHCNE_RENAMEITEM, u"\\My Documents\\Music\\a.mp3 > \\My Documents\\Music\\b.mp3"}}));
  ASSERT_TRUE(CreateDirectoryW(u"\\My Documents\\Music\\New", nullptr));
  EXPECT_EQ(WaitFor(SHCNE_MKDIR), (Events{{SHCNE_MKDIR, u"\\My Documents\\Music\\New"}}));
  ASSERT_TRUE(DeleteFileW(u"\\My Documents\\Music\\b.mp3"));
  EXPECT_EQ(WaitFor(SHCNE_DELETE), (Events{{SHCNE_DELETE, u"\\My Documents\\Music\\b.mp3"}}));
  // Not recursive: a file made in a subfolder is not told; the next one in the folder is.
  Write("My Documents/Music/Deep/c.mp3", "x");
  Write("My Documents/Music/d.mp3", "x");
  EXPECT_EQ(WaitFor(SHCNE_UPDATEITEM),
            (Events{{SHCNE_CREATE, u"\\My Documents\\Music\\d.mp3"}, {SHCNE_UPDATEITEM, u"\\My Documents\\Music\\d.mp3"}}));
}

TEST_F(ChangeNotifyTest, RecursiveRegistrationSeesNewFoldersAndTheMaskChooses) {
  Register(u"\\My Documents", true, SHCNE_CREATE | SHCNE_MKDIR);
  ASSERT_TRUE(CreateDirectoryW(u"\\My Documents\\Music\\Deep\\Deeper", nullptr));
  EXPECT_EQ(WaitFor(SHCNE_MKDIR), (Events{{SHCNE_MKDIR, u"\\My Documents\\Music\\Deep\\Deeper"}}));
  Write("My Documents/Music/Deep/Deeper/e.mp3", "x");
  EXPECT_EQ(WaitFor(SHCNE_CREATE), (Events{{SHCNE_CREATE, u"\\My Documents\\Music\\Deep\\Deeper\\e.mp3"}}))
      << "inside the folder made after the registration; the write itself is not asked for";
}

TEST_F(ChangeNotifyTest, StorageCardTakenOutAndPutBack) {
  Register(u"\\", false, SHCNE_DRIVEADD | SHCNE_DRIVEREMOVED);
  const std::filesystem::path away = device_.card().string() + ".out";
  std::filesystem::rename(device_.card(), away);
  EXPECT_EQ(WaitFor(SHCNE_DRIVEREMOVED), (Events{{SHCNE_DRIVEREMOVED, u"\\Storage Card"}}));
  std::filesystem::rename(away, device_.card());
  EXPECT_EQ(WaitFor(SHCNE_DRIVEADD), (Events{{SHCNE_DRIVEADD, u"\\Storage Card"}}));
}

TEST_F(ChangeNotifyTest, TheWholeDeviceTakesInTheStorageCardsFilesAndThoseOfACardPutBack) {
  Register(u"\\", true, SHCNE_CREATE | SHCNE_DRIVEADD | SHCNE_DRIVEREMOVED);
  std::ofstream(device_.card() / "a.mp3") << "x";
  EXPECT_EQ(WaitFor(SHCNE_CREATE), (Events{{SHCNE_CREATE, u"\\Storage Card\\a.mp3"}}));
  const std::filesystem::path away = device_.card().string() + ".out";
  std::filesystem::rename(device_.card(), away);
  WaitFor(SHCNE_DRIVEREMOVED);
  std::filesystem::rename(away, device_.card());
  EXPECT_EQ(WaitFor(SHCNE_DRIVEADD), (Events{{SHCNE_DRIVEADD, u"\\Storage Card"}}));
  std::ofstream(device_.card() / "b.mp3") << "x";
  EXPECT_EQ(WaitFor(SHCNE_CREATE), (Events{{SHCNE_CREATE, u"\\Storage Card\\b.mp3"}}));
}

TEST_F(ChangeNotifyTest, RaisedEventsReachTheWindowsWhoseFolderHoldsThem) {
  Register(u"\\My Documents", false);
  SHChangeNotify(SHCNE_CREATE, SHCNF_PATH, u"\\My Documents\\x.m3u", nullptr);
  SHChangeNotify(SHCNE_CREATE, SHCNF_PATH, u"\\Windows\\y.m3u", nullptr);
  SHChangeNotify(SHCNE_RENAMEITEM, SHCNF_PATH, u"\\Temp\\z.m3u", u"\\My Documents\\z.m3u");
  EXPECT_EQ(WaitFor(SHCNE_RENAMEITEM), (Events{{SHCNE_CREATE, u"\\My Documents\\x.m3u"},
                                              {SHCNE_RENAMEITEM, u"\\Temp\\z.m3u > \\My Documents\\z.m3u"}}));
  EXPECT_TRUE(SHChangeNotifyDeregister(sink_));
  EXPECT_FALSE(SHChangeNotifyDeregister(sink_));
  SHCHANGENOTIFYENTRY entry{SHCNE_ALLEVENTS, nullptr, FALSE};
  EXPECT_FALSE(SHChangeNotifyRegister(nullptr, &entry));
}

class RegistryNotifyTest : public ShellTest {
 protected:
  void SetDword(const char16_t* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"System\\State\\Hardware", 0, nullptr, 0, 0, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
  }
};

TEST_F(RegistryNotifyTest, WatchedValueTellsItsWindowWhenTheConditionHolds) {
  SetDword(u"Bluetooth", 0);
  HREGNOTIFY any = nullptr, equal = nullptr;
  NOTIFICATIONCONDITION change{REG_CT_ANYCHANGE, 0x10, {}};
  ASSERT_EQ(RegistryNotifyWindow(HKEY_LOCAL_MACHINE, u"System\\State\\Hardware", u"Bluetooth", sink_, kRegistryMessage, 1,
                                 &change, &any),
            S_OK);
  NOTIFICATIONCONDITION is3{REG_CT_EQUAL, 0xFFFFFFFF, {}};
  is3.TargetValue.dw = 3;
  ASSERT_EQ(RegistryNotifyWindow(HKEY_LOCAL_MACHINE, u"System\\State\\Hardware", u"Bluetooth", sink_, kRegistryMessage, 2,
                                 &is3, &equal),
            S_OK);
  // Bit 0x10 changes: the first watch; 3 is not 0x13, so not the second.
  SetDword(u"Bluetooth", 0x13);
  ASSERT_TRUE(PumpUntil([] { return !Only(kRegistryMessage).empty(); }));
  // A value outside the mask changes: nobody; then the value becomes 3 (bit 0x10 goes): both.
  SetDword(u"Bluetooth", 0x12);
  SetDword(u"Bluetooth", 3);
  ASSERT_TRUE(PumpUntil([] { return Only(kRegistryMessage).size() >= 3; }));
  wtest::Pump();
  std::vector<std::pair<WPARAM, LPARAM>> heard;
  for (const Heard& h : Only(kRegistryMessage)) heard.emplace_back(h.wParam, h.lParam);
  const std::vector<std::pair<WPARAM, LPARAM>> expected{{1, 0x13}, {1, 3}, {2, 3}};
  EXPECT_EQ(heard, expected);
  DWORD value = 0;
  EXPECT_EQ(RegistryGetDWORD(HKEY_LOCAL_MACHINE, u"System\\State\\Hardware", u"Bluetooth", &value), S_OK);
  EXPECT_EQ(value, 3u);
  EXPECT_EQ(RegistryCloseNotification(any), S_OK);
  EXPECT_EQ(RegistryCloseNotification(equal), S_OK);
  EXPECT_EQ(RegistryCloseNotification(equal), E_INVALIDARG);
  EXPECT_EQ(RegistryNotifyWindow(HKEY_LOCAL_MACHINE, u"x", u"y", nullptr, 1, 0, nullptr, &any), E_INVALIDARG);
}

}  // namespace
