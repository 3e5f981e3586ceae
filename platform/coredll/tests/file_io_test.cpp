// Reading, writing and positioning through handles: bytes done, the end of the file, 64-bit
// positions with their high parts, sizes, times, and what a bad or unsuitable handle gets.
#include <functional>

#include "files_fixture.h"

namespace zb::files::testing {
namespace {

class FileIoTest : public FilesTest {
 protected:
  void SetUp() override { Put(Host("data.bin"), std::string(100, 'x')); }

  HANDLE OpenData(DWORD access = GENERIC_READ | GENERIC_WRITE) { return Open(u"\\data.bin", access); }

  static DWORD Position(HANDLE h) { return SetFilePointer(h, 0, nullptr, FILE_CURRENT); }
};

TEST_F(FileIoTest, WriteThenReadBackReportsBytesDone) {
  Handle h(Open(u"\\new.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW));
  ASSERT_TRUE(h.valid());
  DWORD done = 77;
  ASSERT_TRUE(WriteFile(h.get(), "hello world", 11, &done, nullptr));
  EXPECT_EQ(done, 11u);
  ASSERT_EQ(SetFilePointer(h.get(), 6, nullptr, FILE_BEGIN), 6u);
  char buffer[32] = {};
  ASSERT_TRUE(ReadFile(h.get(), buffer, sizeof buffer, &done, nullptr));
  EXPECT_EQ(done, 5u);
  EXPECT_EQ(std::string(buffer, done), "world");
  // At the end: success with nothing read.
  done = 77;
  EXPECT_TRUE(ReadFile(h.get(), buffer, sizeof buffer, &done, nullptr));
  EXPECT_EQ(done, 0u);
  EXPECT_TRUE(WriteFile(h.get(), "", 0, &done, nullptr));
  EXPECT_EQ(done, 0u);
  h.Close();
  EXPECT_EQ(Get(Host("new.bin")), "hello world");
}

TEST_F(FileIoTest, EachHandleKeepsItsOwnPosition) {
  Put(Host("abc.txt"), "abcdef");
  Handle a(Open(u"\\abc.txt", GENERIC_READ, FILE_SHARE_READ)), b(Open(u"\\abc.txt", GENERIC_READ, FILE_SHARE_READ));
  char x[3] = {}, y[3] = {};
  DWORD done = 0;
  ASSERT_TRUE(ReadFile(a.get(), x, 3, &done, nullptr));
  ASSERT_TRUE(ReadFile(b.get(), y, 3, &done, nullptr));
  EXPECT_EQ(std::string(x, 3), "abc");
  EXPECT_EQ(std::string(y, 3), "abc");
}

TEST_F(FileIoTest, AccessTheHandleWasNotOpenedForIsDenied) {
  char buffer[4];
  DWORD done = 5;
  Handle reader(OpenData(GENERIC_READ));
  EXPECT_FALSE(WriteFile(reader.get(), "abc", 3, &done, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(done, 0u);
  EXPECT_FALSE(SetEndOfFile(reader.get()));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  FILETIME t{1, 1};
  EXPECT_FALSE(SetFileTime(reader.get(), nullptr, nullptr, &t));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  reader.Close();

  Handle writer(OpenData(GENERIC_WRITE));
  EXPECT_FALSE(ReadFile(writer.get(), buffer, 4, &done, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  writer.Close();
  EXPECT_EQ(Get(Host("data.bin")), std::string(100, 'x'));
}

TEST_F(FileIoTest, NullBufferIsRefused) {
  Handle h(OpenData());
  DWORD done = 0;
  EXPECT_FALSE(ReadFile(h.get(), nullptr, 4, &done, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(WriteFile(h.get(), nullptr, 4, &done, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  char c;
  EXPECT_TRUE(ReadFile(h.get(), &c, 1, nullptr, nullptr));  // no count wanted: fine
}

// Every handle function given something that is not an open file.
TEST_F(FileIoTest, BadHandlesFailWithInvalidHandle) {
  HANDLE closed = OpenData();
  CloseHandle(closed);
  WIN32_FIND_DATAW fd;
  Handle find(FindFirstFileW(u"\\*", &fd));
  char buffer[4];
  DWORD done = 0, high = 0;
  LONG distance = 0;
  FILETIME t{};
  const std::pair<const char*, std::function<bool(HANDLE)>> calls[] = {
      {"ReadFile", [&](HANDLE h) { return ReadFile(h, buffer, 4, &done, nullptr) == FALSE; }},
      {"WriteFile", [&](HANDLE h) { return WriteFile(h, "a", 1, &done, nullptr) == FALSE; }},
      {"SetFilePointer", [&](HANDLE h) { return SetFilePointer(h, 0, &distance, FILE_BEGIN) == INVALID_SET_FILE_POINTER; }},
      {"SetEndOfFile", [&](HANDLE h) { return SetEndOfFile(h) == FALSE; }},
      {"GetFileSize", [&](HANDLE h) { return GetFileSize(h, &high) == INVALID_FILE_SIZE; }},
      {"GetFileTime", [&](HANDLE h) { return GetFileTime(h, &t, &t, &t) == FALSE; }},
      {"SetFileTime", [&](HANDLE h) { return SetFileTime(h, nullptr, nullptr, &t) == FALSE; }},
      {"FlushFileBuffers", [&](HANDLE h) { return FlushFileBuffers(h) == FALSE; }},
  };
  for (HANDLE bad : {INVALID_HANDLE_VALUE, HANDLE(nullptr), closed, find.get()}) {
    for (const auto& [name, call] : calls) {
      PoisonLastError();
      EXPECT_TRUE(call(bad)) << name;
      EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE) << name;
    }
  }
}

// From position 10 of a 100-byte file.
struct SeekCase {
  const char* what;
  LONG low;
  bool withHigh;
  LONG high;
  DWORD method;
  DWORD result;
  LONG highAfter;
  DWORD error;  // 0xDEAD: left alone
};

const SeekCase kSeeks[] = {
    {"from the start", 50, false, 0, FILE_BEGIN, 50, 0, 0xDEAD},
    {"forward from here", 5, false, 0, FILE_CURRENT, 15, 0, 0xDEAD},
    {"back from here", -4, false, 0, FILE_CURRENT, 6, 0, 0xDEAD},
    {"back from the end", -1, false, 0, FILE_END, 99, 0, 0xDEAD},
    {"past the end", 10, false, 0, FILE_END, 110, 0, 0xDEAD},
    {"before the start", -20, false, 0, FILE_CURRENT, INVALID_SET_FILE_POINTER, 0, ERROR_NEGATIVE_SEEK},
    {"negative from the start", -1, false, 0, FILE_BEGIN, INVALID_SET_FILE_POINTER, 0, ERROR_NEGATIVE_SEEK},
    {"minus one as 64 bits", -1, true, -1, FILE_END, 99, 0, 0xDEAD},
    {"negative 64-bit", 0, true, -1, FILE_BEGIN, INVALID_SET_FILE_POINTER, 0, ERROR_NEGATIVE_SEEK},
    {"4 GiB with a high part", 0, true, 1, FILE_BEGIN, 0, 1, 0xDEAD},
    {"4 GiB - 1 looks like the failure value", -1, true, 0, FILE_BEGIN, 0xFFFFFFFF, 0, ERROR_SUCCESS},
    {"unknown method", 0, false, 0, 3, INVALID_SET_FILE_POINTER, 0, ERROR_INVALID_PARAMETER},
};

TEST_F(FileIoTest, SetFilePointerPositionsAndFailures) {
  for (const SeekCase& c : kSeeks) {
    Handle h(OpenData());
    ASSERT_EQ(SetFilePointer(h.get(), 10, nullptr, FILE_BEGIN), 10u);
    LONG high = c.high;
    PoisonLastError();
    DWORD result = SetFilePointer(h.get(), c.low, c.withHigh ? &high : nullptr, c.method);
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_EQ(GetLastError(), c.error) << c.what;
    bool failed = c.error != 0xDEAD && c.error != ERROR_SUCCESS;
    if (c.withHigh && !failed) {
      EXPECT_EQ(high, c.highAfter) << c.what;
    }
    if (failed) {
      EXPECT_EQ(Position(h.get()), 10u) << c.what << ": a failed seek must not move";
    }
  }
}

TEST_F(FileIoTest, PositionPast4GiBNeedsAHighPart) {
  Handle h(OpenData());
  LONG high = 0;
  ASSERT_EQ(SetFilePointer(h.get(), 0xC0000000, &high, FILE_BEGIN), 0xC0000000u);  // 3 GiB
  PoisonLastError();
  EXPECT_EQ(SetFilePointer(h.get(), 0x7FFFFFFF, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  high = 0;
  EXPECT_EQ(SetFilePointer(h.get(), 0, &high, FILE_CURRENT), 0xC0000000u);
  EXPECT_EQ(high, 0);
}

TEST_F(FileIoTest, SetEndOfFileCutsAndExtendsAtThePosition) {
  Handle h(OpenData());
  ASSERT_EQ(SetFilePointer(h.get(), 40, nullptr, FILE_BEGIN), 40u);
  ASSERT_TRUE(SetEndOfFile(h.get()));
  DWORD high = 9;
  EXPECT_EQ(GetFileSize(h.get(), &high), 40u);
  EXPECT_EQ(high, 0u);
  ASSERT_EQ(SetFilePointer(h.get(), 60, nullptr, FILE_BEGIN), 60u);
  ASSERT_TRUE(SetEndOfFile(h.get()));
  EXPECT_EQ(GetFileSize(h.get(), nullptr), 60u);
  h.Close();
  EXPECT_EQ(Get(Host("data.bin")), std::string(40, 'x') + std::string(20, '\0'));
}

TEST_F(FileIoTest, FileSizesBeyond32BitsHaveAHighPart) {
  Handle h(OpenData());
  LONG high = 1;
  ASSERT_EQ(SetFilePointer(h.get(), 0x40000000, &high, FILE_BEGIN), 0x40000000u);  // 5 GiB, sparse
  ASSERT_TRUE(SetEndOfFile(h.get()));
  DWORD sizeHigh = 0;
  EXPECT_EQ(GetFileSize(h.get(), &sizeHigh), 0x40000000u);
  EXPECT_EQ(sizeHigh, 1u);

  high = 0;
  ASSERT_EQ(SetFilePointer(h.get(), -1, &high, FILE_BEGIN), 0xFFFFFFFFu);  // 4 GiB - 1
  ASSERT_TRUE(SetEndOfFile(h.get()));
  PoisonLastError();
  EXPECT_EQ(GetFileSize(h.get(), &sizeHigh), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);  // a real size, not a failure
  EXPECT_EQ(sizeHigh, 0u);
}

TEST_F(FileIoTest, FileTimesRoundTrip) {
  SYSTEMTIME st{2000, 2, 2, 29, 12, 34, 56, 789};
  FILETIME when{}, created{}, accessed{}, written{};
  ASSERT_TRUE(SystemTimeToFileTime(&st, &when));
  FILETIME createdWhen{when.dwLowDateTime - 1000, when.dwHighDateTime};
  FILETIME accessedWhen{when.dwLowDateTime + 1000, when.dwHighDateTime};
  Handle h(OpenData());
  ASSERT_TRUE(SetFileTime(h.get(), &createdWhen, &accessedWhen, &when));
  ASSERT_TRUE(GetFileTime(h.get(), &created, &accessed, &written));
  EXPECT_EQ(CompareFileTime(&written, &when), 0);
  EXPECT_EQ(CompareFileTime(&accessed, &accessedWhen), 0);
  EXPECT_EQ(CompareFileTime(&created, &createdWhen), 0);
  h.Close();

  // The times stay with the file, as other callers see them.
  WIN32_FIND_DATAW fd{};
  Handle find(FindFirstFileW(u"\\data.bin", &fd));
  ASSERT_TRUE(find.valid());
  EXPECT_EQ(CompareFileTime(&fd.ftLastWriteTime, &when), 0);
  EXPECT_EQ(CompareFileTime(&fd.ftCreationTime, &createdWhen), 0);

  // Null leaves a time alone.
  Handle again(OpenData());
  FILETIME later{when.dwLowDateTime, when.dwHighDateTime + 1};
  ASSERT_TRUE(SetFileTime(again.get(), nullptr, nullptr, &later));
  ASSERT_TRUE(GetFileTime(again.get(), &created, &accessed, &written));
  EXPECT_EQ(CompareFileTime(&written, &later), 0);
  EXPECT_EQ(CompareFileTime(&accessed, &accessedWhen), 0);
  EXPECT_EQ(CompareFileTime(&created, &createdWhen), 0);
}

TEST_F(FileIoTest, FileTimeOutOfRangeIsRefused) {
  Handle h(OpenData());
  FILETIME before{}, bad{0, 0x80000000}, after{};
  ASSERT_TRUE(GetFileTime(h.get(), nullptr, nullptr, &before));
  EXPECT_FALSE(SetFileTime(h.get(), nullptr, nullptr, &bad));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  ASSERT_TRUE(GetFileTime(h.get(), nullptr, nullptr, &after));
  EXPECT_EQ(CompareFileTime(&before, &after), 0);
}

TEST_F(FileIoTest, NewFileTimesAreNow) {
  FILETIME start{}, created{}, written{};
  GetSystemTimeAsFileTime(&start);
  start.dwHighDateTime -= 1;  // ~7 minutes of slack for file systems with coarse times
  Handle h(Open(u"\\fresh.txt", GENERIC_WRITE, 0, CREATE_NEW));
  ASSERT_TRUE(GetFileTime(h.get(), &created, nullptr, &written));
  EXPECT_GT(CompareFileTime(&created, &start), 0);
  EXPECT_GT(CompareFileTime(&written, &start), 0);
}

TEST_F(FileIoTest, FlushWritesThrough) {
  Handle h(OpenData());
  DWORD done = 0;
  ASSERT_TRUE(WriteFile(h.get(), "yy", 2, &done, nullptr));
  EXPECT_TRUE(FlushFileBuffers(h.get()));
  EXPECT_EQ(Get(Host("data.bin")).substr(0, 3), "yyx");
}

}  // namespace
}  // namespace zb::files::testing
