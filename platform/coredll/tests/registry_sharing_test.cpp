// Several writers on one device: real processes and threads setting many values at the same
// time lose none of them, and a change made by another process is seen by the next call.
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "registry_support.h"

namespace zb::testing {
namespace {

constexpr int kValuesPerWriter = 150;
constexpr int kStartFd = 3;  // a writer starts when this pipe reaches its end

std::u16string WriterValueName(const std::string& prefix, int i) { return FromUtf8(prefix + std::to_string(i)); }

// Sets kValuesPerWriter values of its own in a shared key, and every tenth time a key of its
// own as well, opening the keys anew each time as separate callers would. True when every call
// succeeded.
bool WriteShare(const std::string& prefix) {
  bool ok = true;
  for (int i = 0; i < kValuesPerWriter; ++i) {
    HKEY shared = nullptr;
    ok &= RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Shared", 0, nullptr, 0, 0, nullptr, &shared, nullptr) ==
          ERROR_SUCCESS;
    std::vector<BYTE> data = DwordBytes(static_cast<DWORD>(i));
    ok &= RegSetValueExW(shared, WriterValueName(prefix, i).c_str(), 0, REG_DWORD, data.data(), 4) == ERROR_SUCCESS;
    if (i % 10 == 0) {
      HKEY own = nullptr;
      ok &= RegCreateKeyExW(shared, WriterValueName(prefix, i).c_str(), 0, nullptr, 0, 0, nullptr, &own, nullptr) ==
            ERROR_SUCCESS;
      RegCloseKey(own);
    }
    RegCloseKey(shared);
  }
  return ok;
}

// Started by the cross-process test with ZB_REGISTRY_WRITER=<prefix>, this binary writes its
// share and ends before the test runner starts.
const bool kIsWriter = [] {
  const char* prefix = std::getenv("ZB_REGISTRY_WRITER");
  if (!prefix) return false;
  char c;
  while (::read(kStartFd, &c, 1) > 0 || errno == EINTR) {
  }
  std::_Exit(WriteShare(prefix) ? 0 : 1);
}();

void ExpectWholeShare(HKEY shared, const std::string& prefix) {
  std::vector<std::u16string> keys = RegistryTest::SubkeyNames(shared);
  int missing = 0;
  for (int i = 0; i < kValuesPerWriter; ++i) {
    RegValue value = RegistryTest::Query(shared, WriterValueName(prefix, i).c_str());
    missing += value != RegValue{REG_DWORD, DwordBytes(static_cast<DWORD>(i))};
    if (i % 10 == 0) missing += std::find(keys.begin(), keys.end(), WriterValueName(prefix, i)) == keys.end();
  }
  EXPECT_EQ(missing, 0) << "of writer " << prefix;
}

using RegistrySharing = RegistryTest;

TEST_F(RegistrySharing, TwoProcessesWritingAtOnceLoseNothing) {
  int start[2];
  ASSERT_EQ(::pipe2(start, O_CLOEXEC), 0);
  std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string prefixes[] = {"A", "B"};
  std::vector<pid_t> writers;
  for (const std::string& prefix : prefixes) {
    writers.push_back(Spawn(self, {}, {"ZB_REGISTRY_WRITER=" + prefix}, {{start[0], kStartFd}}));
    EXPECT_GT(writers.back(), 0);
  }
  ::close(start[0]);
  ::close(start[1]);  // both writers go
  for (pid_t pid : writers) ASSERT_EQ(WaitForExit(pid), 0);
  for (bool reloaded : {false, true}) {
    SCOPED_TRACE(reloaded ? "after a reload" : "as this process sees it");
    if (reloaded) Reload();
    ScopedKey shared(Open(HKEY_CURRENT_USER, u"Software\\Shared"));
    for (const std::string& prefix : prefixes) ExpectWholeShare(shared.get(), prefix);
    EXPECT_EQ(ValueNames(shared.get()).size(), 2u * kValuesPerWriter);
  }
  EXPECT_EQ(DebugLogText(), "");
}

TEST_F(RegistrySharing, ThreadsWritingAtOnceLoseNothing) {
  const std::string prefixes[] = {"T0", "T1", "T2", "T3"};
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  std::atomic<bool> ok{true};
  for (const std::string& prefix : prefixes) {
    threads.emplace_back([&, prefix] {
      ++ready;
      while (ready.load() < 4) std::this_thread::yield();  // all four start together
      if (!WriteShare(prefix)) ok = false;
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_TRUE(ok);
  Reload();
  ScopedKey shared(Open(HKEY_CURRENT_USER, u"Software\\Shared"));
  for (const std::string& prefix : prefixes) ExpectWholeShare(shared.get(), prefix);
}

TEST_F(RegistrySharing, AnotherProcessesChangeIsSeenAndKeptByTheNextWrite) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Seen"));
  SetDword(key.get(), u"Mine", 1);
  std::string before = ReadHostFile(RegistryFile());
  ASSERT_NE(before.find("\"Mine\"=dword:00000001"), std::string::npos) << "on disk when the call returns";
  // Same size as before, so only the file's identity tells the change apart.
  std::string theirs = before;
  theirs.replace(theirs.find("\"Mine\"=dword:00000001"), 21, "\"Mine\"=dword:00000002");
  ReplaceHostFile(RegistryFile(), theirs);
  EXPECT_EQ(Query(key.get(), u"Mine"), (RegValue{REG_DWORD, DwordBytes(2)}));
  ReplaceHostFile(RegistryFile(), before + "\"Theirs\"=dword:00000003\n");
  SetDword(key.get(), u"Next", 4);
  Reload();
  ScopedKey again(Open(HKEY_CURRENT_USER, u"Software\\Seen"));
  EXPECT_EQ(ValueNames(again.get()), (std::vector<std::u16string>{u"Mine", u"Theirs", u"Next"}));
}

TEST_F(RegistrySharing, AFileRemadeWithTheSameSizeAndTimeIsStillSeen) {
  ScopedKey key(Create(HKEY_CURRENT_USER, u"Software\\Remade"));
  SetDword(key.get(), u"Mine", 1);
  std::string text = ReadHostFile(RegistryFile());
  struct stat old;
  ASSERT_EQ(::stat(RegistryFile().c_str(), &old), 0);
  // Another writer removes the file and makes a new one of the same size in the same clock
  // tick: the host may hand the new file the old one's inode number.
  std::filesystem::remove(RegistryFile());
  text.replace(text.find("dword:00000001"), 14, "dword:00000002");
  std::ofstream(RegistryFile(), std::ios::binary) << text;
  const timespec times[2] = {old.st_atim, old.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, RegistryFile().c_str(), times, 0), 0);
  EXPECT_EQ(Query(key.get(), u"Mine"), (RegValue{REG_DWORD, DwordBytes(2)}));
}

}  // namespace
}  // namespace zb::testing
