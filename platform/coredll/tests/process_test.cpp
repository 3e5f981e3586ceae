// CreateProcessW of a device program: the child receives its command line exactly as given
// (through WinMain), and its handles signal when it ends. Bad names fail with the right errors.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "device/text.h"
#include "testing/test_device.h"

namespace {

class ProcessTest : public ::testing::Test {
 protected:
  std::string ReadBack() {
    std::ifstream in(device_.Host("cmdline.txt"), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  zb::testing::TestDevice device_;
};

struct CommandCase {
  const char* name;
  LPCWSTR program;
  LPCWSTR commandLine;
};

TEST_F(ProcessTest, ChildReceivesItsCommandLineAndItsHandleSignalsOnExit) {
  const CommandCase cases[] = {
      {"none", u"\\Program Files\\Zonbrel\\cmdline_probe.exe", nullptr},
      {"switch", u"\\Program Files\\Zonbrel\\cmdline_probe.exe", u"/SILENT"},
      {"quoted path and switches", u"\\program files\\zonbrel\\CMDLINE_PROBE.EXE",
       u"\"\\Storage Card\\My Music\\a b.mp3\" /ENQUEUE /VOLUME=80"},
      {"no extension, non-ASCII text", u"\\Program Files\\Zonbrel\\cmdline_probe", u"caf\u00e9 \u20ac \"x\""},
  };
  for (const CommandCase& c : cases) {
    std::filesystem::remove(device_.Host("cmdline.txt"));
    std::u16string line = c.commandLine ? c.commandLine : u"";
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(c.program, c.commandLine ? line.data() : nullptr, nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, nullptr, &pi))
        << c.name << " error " << GetLastError();
    EXPECT_NE(pi.dwProcessId, GetCurrentProcessId());
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0) << c.name;
    EXPECT_EQ(WaitForSingleObject(pi.hThread, 0), WAIT_OBJECT_0) << c.name;
    EXPECT_EQ(ReadBack(), zb::ToUtf8(line)) << c.name;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
}

TEST_F(ProcessTest, RunningChildCanBeOpenedByIdAndWaitedOn) {
  PROCESS_INFORMATION pi{};
  std::u16string line = u"x";
  ASSERT_TRUE(CreateProcessW(u"\\Program Files\\Zonbrel\\cmdline_probe.exe", line.data(), nullptr, nullptr, FALSE,
                             0, nullptr, nullptr, nullptr, &pi));
  HANDLE handles[] = {pi.hProcess, pi.hThread};
  EXPECT_EQ(WaitForMultipleObjects(2, handles, TRUE, 20000), WAIT_OBJECT_0);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

struct FailCase {
  const char* name;
  LPCWSTR program;
  DWORD error;
};

TEST_F(ProcessTest, BadProgramsFailWithThePlatformsErrors) {
  std::filesystem::create_directories(device_.Host("Windows"));
  std::ofstream(device_.Host("Windows/notes.exe")) << "text";
  chmod(device_.Host("Windows/notes.exe").c_str(), 0644);
  const FailCase cases[] = {
      {"no name", nullptr, ERROR_INVALID_PARAMETER},
      {"empty name", u"", ERROR_INVALID_PARAMETER},
      {"missing program", u"peghelp", ERROR_FILE_NOT_FOUND},
      {"missing folder", u"\\No Such\\x.exe", ERROR_PATH_NOT_FOUND},
      {"not a program", u"notes", ERROR_BAD_EXE_FORMAT},
  };
  for (const FailCase& c : cases) {
    PROCESS_INFORMATION pi{};
    SetLastError(0);
    EXPECT_FALSE(CreateProcessW(c.program, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &pi))
        << c.name;
    EXPECT_EQ(GetLastError(), c.error) << c.name;
    EXPECT_EQ(pi.hProcess, nullptr) << c.name;
  }
}

}  // namespace
