// The file source against the host's own reads: seeded read/seek scripts over files of every
// awkward size, with and without the read-ahead thread; seeks inside the ring without file
// access; the storage-card retries and the reopen with injected faults; a prompt Close.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

#include "decoder_test_support.h"
#include "file_reader_state.h"
#include "file_source.h"
#include "file_source_io.h"
#include "testing/test_clock.h"

namespace {

using namespace zbtest;

// The file calls counted, with faults put in front of them.
struct FaultyIo {
  std::atomic<int> opens{0}, reads{0}, positions{0};
  std::mutex pausesLock;
  std::vector<DWORD> pauses;
  // Returns true when it answered the call itself.
  std::function<bool(LPCWSTR, HANDLE*)> openFault;
  std::function<bool(HANDLE, void*, DWORD, DWORD*, BOOL*)> readFault;

  static FaultyIo* current;
  static HANDLE Open(LPCWSTR path) {
    ++current->opens;
    HANDLE h;
    if (current->openFault && current->openFault(path, &h)) return h;
    return PlatformFileIo().Open(path);
  }
  static BOOL Read(HANDLE f, void* b, DWORD n, DWORD* got) {
    ++current->reads;
    BOOL result;
    if (current->readFault && current->readFault(f, b, n, got, &result)) return result;
    return PlatformFileIo().Read(f, b, n, got);
  }
  static BOOL SetPosition(HANDLE f, ULONGLONG o) {
    ++current->positions;
    return PlatformFileIo().SetPosition(f, o);
  }
  static void Pause(DWORD ms) {
    std::lock_guard hold(current->pausesLock);
    current->pauses.push_back(ms);
  }
  FileSourceIo table{Open, Read, SetPosition, PlatformFileIo().Size, PlatformFileIo().Close,
                     PlatformFileIo().Attributes, Pause};
  FaultyIo() {
    current = this;
    SetFileSourceIo(&table);
  }
  ~FaultyIo() { SetFileSourceIo(nullptr); }
};
FaultyIo* FaultyIo::current = nullptr;

class FileSourceTest : public DeviceTest {
 protected:
  std::u16string MakeFile(const std::string& name, size_t size, uint32_t seed = 1) {
    WriteHostFile(device_.Host(name), RandomBytes(size, seed));
    return DevicePath(name);
  }
};

// One step of the reference: what pread gives at a position.
std::vector<uint8_t> Pread(int fd, long long position, size_t bytes) {
  std::vector<uint8_t> out(bytes);
  const ssize_t got = position < 0 ? 0 : ::pread(fd, out.data(), bytes, position);
  out.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return out;
}

struct ScriptCase {
  size_t fileSize;
  bool readAhead;
};

class FileSourceScript : public FileSourceTest, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(FileSourceScript, ReadsAndSeeksGiveWhatPreadGives) {
  const ScriptCase c = GetParam();
  Settings().fileCacheSize = 64;  // a 64 KiB ring
  if (c.readAhead) {
    Settings().fileCacheSize = 256;
    Settings().agressiveBuffers = 1;
  }
  const std::u16string path = MakeFile("script.bin", c.fileSize, static_cast<uint32_t>(c.fileSize));
  const int fd = ::open(device_.Host("script.bin").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, path.c_str()), 0);
  EXPECT_EQ(source.GetLength(&source), c.fileSize);
  EXPECT_EQ(source.state != nullptr && StateOf(&source)->thread != nullptr, c.readAhead);

  std::mt19937 random(static_cast<uint32_t>(c.fileSize * 7 + c.readAhead));
  const long long size = static_cast<long long>(c.fileSize);
  long long position = 0;
  for (int step = 0; step < 1500; ++step) {
    const int kind = static_cast<int>(random() % 10);
    if (kind < 6) {
      const int item = 1 + static_cast<int>(random() % 4);
      // Mostly small reads as decoders make them, now and then a large one.
      const int bytes = random() % 8 ? static_cast<int>(random() % 3000) : static_cast<int>(random() % 200000);
      const int count = bytes / item;
      std::vector<uint8_t> got(static_cast<size_t>(item) * count + 1, 0xEE);
      const int items = source.Read(&source, got.data(), item, count);
      const std::vector<uint8_t> want = Pread(fd, position, static_cast<size_t>(item) * count);
      ASSERT_EQ(items, static_cast<int>(want.size()) / item) << "step " << step;
      ASSERT_TRUE(std::equal(want.begin(), want.end(), got.begin())) << "step " << step << " at " << position;
      position += static_cast<long long>(want.size());
    } else if (kind < 9) {
      const int origin = static_cast<int>(random() % 3);
      const long long span = size + 70000;
      const long long delta = random() % 2 ? -static_cast<long long>(random() % 5000) : static_cast<long long>(random() % span) - 1000;
      const long long base = origin == 0 ? 0 : origin == 1 ? position : size;
      const long long target = origin == 0 ? std::max<long long>(delta, 0) : base + delta;
      const int result = source.Seek(&source, origin, static_cast<int>(origin == 0 ? target : delta));
      if (target < 0) {
        ASSERT_EQ(result, -1) << "step " << step;
      } else {
        ASSERT_EQ(result, 0) << "step " << step;
        position = target;
      }
    } else {
      ASSERT_EQ(source.Tell(&source), static_cast<int>(position)) << "step " << step;
    }
  }
  source.Close(&source);
  EXPECT_EQ(source.state, nullptr);
  ::close(fd);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FileSourceScript,
                         ::testing::Values(ScriptCase{0, false}, ScriptCase{1, false}, ScriptCase{65535, false},
                                           ScriptCase{65536, false}, ScriptCase{65537, false},
                                           ScriptCase{5 << 20, false}, ScriptCase{0, true}, ScriptCase{1, true},
                                           ScriptCase{262143, true}, ScriptCase{262144, true},
                                           ScriptCase{262145, true}, ScriptCase{5 << 20, true}),
                         [](const auto& info) {
                           return std::to_string(info.param.fileSize) + (info.param.readAhead ? "_readAhead" : "_plain");
                         });

TEST_F(FileSourceTest, SeeksInsideTheRingReadNothingFromTheFile) {
  Settings().fileCacheSize = 64;
  const std::u16string path = MakeFile("ring.bin", 300000);
  const std::vector<uint8_t> bytes = ReadHostFile(device_.Host("ring.bin"));
  FaultyIo io;
  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, path.c_str()), 0);
  std::vector<uint8_t> buffer(20000);
  ASSERT_EQ(source.Read(&source, buffer.data(), 1, 10000), 10000);
  const int reads = io.reads, positions = io.positions;

  // Back by 4000 from the current position, forward again, and back to an absolute offset;
  // small reads in between are served from the ring as they stand.
  ASSERT_EQ(source.Seek(&source, INPUT_SEEK_CUR, -4000), 0);
  EXPECT_EQ(source.Tell(&source), 6000);
  ASSERT_EQ(source.Read(&source, buffer.data(), 1, 100), 100);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 100, bytes.begin() + 6000));
  ASSERT_EQ(source.Seek(&source, INPUT_SEEK_CUR, 3000), 0);
  ASSERT_EQ(source.Read(&source, buffer.data(), 1, 100), 100);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 100, bytes.begin() + 9100));
  ASSERT_EQ(source.Seek(&source, INPUT_SEEK_SET, 100), 0);
  ASSERT_EQ(source.Read(&source, buffer.data(), 1, 50), 50);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 50, bytes.begin() + 100));
  EXPECT_EQ(io.reads, reads);
  EXPECT_EQ(io.positions, positions);

  // Exactly at the file position, past what the ring holds: the file is positioned.
  const ULONGLONG filePos = StateOf(&source)->filePos;
  ASSERT_EQ(source.Seek(&source, INPUT_SEEK_SET, static_cast<int>(filePos)), 0);
  EXPECT_EQ(io.positions, positions + 1);
  EXPECT_EQ(StateOf(&source)->Buffered(), 0);
  ASSERT_EQ(source.Read(&source, buffer.data(), 1, 10), 10);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 10, bytes.begin() + static_cast<long>(filePos)));
  source.Close(&source);
}

TEST_F(FileSourceTest, RelativeSeekOutsideTheRingLandsOnTheReadPosition) {
  Settings().fileCacheSize = 64;
  const std::u16string path = MakeFile("rel.bin", 400000);
  const std::vector<uint8_t> bytes = ReadHostFile(device_.Host("rel.bin"));
  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, path.c_str()), 0);
  uint8_t b[16];
  ASSERT_EQ(source.Read(&source, b, 1, 16), 16);  // the ring has read far ahead of 16
  ASSERT_EQ(source.Seek(&source, INPUT_SEEK_CUR, 200000), 0);
  EXPECT_EQ(source.Tell(&source), 200016);
  ASSERT_EQ(source.Read(&source, b, 1, 16), 16);
  EXPECT_TRUE(std::equal(b, b + 16, bytes.begin() + 200016));
  source.Close(&source);
}

TEST_F(FileSourceTest, OperationsWithoutAnOpenFileAnswerTheirNeutralValues) {
  InputSource source = MakeFileSource();
  uint8_t b[4];
  EXPECT_EQ(source.Read(&source, b, 1, 4), 0);
  EXPECT_EQ(source.Seek(&source, INPUT_SEEK_SET, 0), -1);
  EXPECT_EQ(source.Tell(&source), -1);
  EXPECT_EQ(source.GetLength(&source), 0u);
  source.Close(&source);
  EXPECT_EQ(source.IsSeekable(&source), 1);
  EXPECT_LT(source.Open(&source, u"\\missing.bin"), 0);
  EXPECT_EQ(source.state, nullptr);
}

TEST_F(FileSourceTest, ReadsWithItemSizeZeroOrNegativeTotalsGiveNothing) {
  const std::u16string path = MakeFile("z.bin", 100);
  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, path.c_str()), 0);
  uint8_t b[8];
  EXPECT_EQ(source.Read(&source, b, 0, 8), 0);
  EXPECT_EQ(source.Read(&source, b, 4, -1), 0);
  EXPECT_EQ(source.Read(&source, b, 0x10000, 0x10000), 0);  // the total does not fit an int
  EXPECT_EQ(source.Tell(&source), 0);
  EXPECT_EQ(source.Read(&source, nullptr, -4096, 0), 0);  // a prefetch hands nothing out
  EXPECT_EQ(source.Tell(&source), 0);
  source.Close(&source);
}

TEST_F(FileSourceTest, TheRingHasAFloorAndTheWholeFileSettingFollowsTheFile) {
  const std::u16string path = MakeFile("whole.bin", 3 << 20);
  Settings().fileCacheSize = 0;
  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, path.c_str()), 0);
  EXPECT_GE(StateOf(&source)->bufferSize, 16384);
  uint8_t b[100];
  EXPECT_EQ(source.Read(&source, b, 1, 100), 100);
  source.Close(&source);

  Settings().fileCacheSize = 21;
  ASSERT_EQ(source.Open(&source, path.c_str()), 0);
  EXPECT_EQ(StateOf(&source)->bufferSize, 3136 * 1024);
  source.Close(&source);
}

TEST_F(FileSourceTest, TheSharedBufferServesOneOpenAtATime) {
  Settings().fileCacheSize = 2048;
  const std::u16string a = MakeFile("a.bin", 1000), b = MakeFile("b.bin", 1000);
  InputSource first = MakeFileSource(), second = MakeFileSource();
  ASSERT_EQ(first.Open(&first, a.c_str()), 0);
  ASSERT_EQ(second.Open(&second, b.c_str()), 0);
  EXPECT_TRUE(StateOf(&first)->sharedBuffer);
  EXPECT_FALSE(StateOf(&second)->sharedBuffer);
  BYTE* shared = StateOf(&first)->buffer;
  first.Close(&first);
  second.Close(&second);
  // The next open takes the kept buffer over instead of allocating.
  ASSERT_EQ(first.Open(&first, b.c_str()), 0);
  EXPECT_EQ(StateOf(&first)->buffer, shared);
  first.Close(&first);
  // A tag reader's open gets a small ring of its own.
  InputSource tags = MakeFileSource(INPUT_OPEN_SINGLE_SHOT);
  ASSERT_EQ(tags.Open(&tags, a.c_str()), 0);
  EXPECT_EQ(StateOf(&tags)->bufferSize, 16384);
  EXPECT_FALSE(StateOf(&tags)->sharedBuffer);
  tags.Close(&tags);
}

// ---- Storage cards that are slow to answer or vanish for a moment ----

TEST_F(FileSourceTest, AnOpenOnAStorageCardIsRetriedSixTimes) {
  WriteHostFile(device_.card() / "late.bin", RandomBytes(5000, 3));
  FaultyIo io;
  int failures = 3;
  io.openFault = [&](LPCWSTR, HANDLE* h) {
    if (failures == 0) return false;
    --failures;
    SetLastError(ERROR_DEVICE_NOT_AVAILABLE);
    *h = INVALID_HANDLE_VALUE;
    return true;
  };
  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, u"\\Storage Card\\late.bin"), 0);
  EXPECT_EQ(io.opens, 4);
  EXPECT_EQ(io.pauses, (std::vector<DWORD>{200, 200, 200}));
  source.Close(&source);

  io.opens = 0;
  io.pauses.clear();
  EXPECT_EQ(source.Open(&source, u"\\Storage Card\\missing.bin"), -static_cast<int>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(io.opens, 7);
  EXPECT_EQ(io.pauses.size(), 6u);
}

TEST_F(FileSourceTest, AMissingFileElsewhereWaitsThreeTimesAndATagReaderNotAtAll) {
  FaultyIo io;
  InputSource source = MakeFileSource();
  EXPECT_LT(source.Open(&source, u"\\Music\\missing.bin"), 0);
  EXPECT_EQ(io.opens, 1);
  EXPECT_EQ(io.pauses, (std::vector<DWORD>{200, 200, 200}));
  InputSource tags = MakeFileSource(INPUT_OPEN_SINGLE_SHOT);
  io.opens = 0;
  io.pauses.clear();
  EXPECT_LT(tags.Open(&tags, u"\\Storage Card\\missing.bin"), 0);
  EXPECT_EQ(io.opens, 1);
  EXPECT_TRUE(io.pauses.empty());
}

TEST_F(FileSourceTest, ReadsRideOutAMediumThatIsAwayForAMoment) {
  Settings().fileCacheSize = 64;
  WriteHostFile(device_.card() / "flaky.bin", RandomBytes(500000, 9));
  const std::vector<uint8_t> bytes = ReadHostFile(device_.card() / "flaky.bin");
  FaultyIo io;
  int failures = 0;
  io.readFault = [&](HANDLE, void*, DWORD, DWORD* got, BOOL* result) {
    if (failures == 0) return false;
    --failures;
    *got = 0;
    SetLastError(ERROR_MEDIA_NOT_AVAILABLE);
    *result = FALSE;
    return true;
  };
  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, u"\\Storage Card\\flaky.bin"), 0);
  std::vector<uint8_t> got(bytes.size());
  ASSERT_EQ(source.Read(&source, got.data(), 1, 1000), 1000);
  failures = 3;  // the next refill fails three times, the fourth attempt reads
  ASSERT_EQ(source.Read(&source, got.data() + 1000, 1, static_cast<int>(bytes.size()) - 1000),
            static_cast<int>(bytes.size()) - 1000);
  EXPECT_EQ(got, bytes);
  EXPECT_EQ(io.pauses, (std::vector<DWORD>{500, 500, 500}));
  source.Close(&source);
}

TEST_F(FileSourceTest, AVanishedFileIsReopenedWhereTheReadStopped) {
  Settings().fileCacheSize = 64;
  WriteHostFile(device_.card() / "gone.bin", RandomBytes(500000, 10));
  const std::vector<uint8_t> bytes = ReadHostFile(device_.card() / "gone.bin");
  FaultyIo io;
  int empty = 0;
  io.readFault = [&](HANDLE, void*, DWORD, DWORD* got, BOOL* result) {
    if (empty == 0) return false;
    --empty;
    *got = 0;  // a successful read of nothing before the end: the card went away
    *result = TRUE;
    return true;
  };
  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, u"\\Storage Card\\gone.bin"), 0);
  std::vector<uint8_t> got(bytes.size());
  ASSERT_EQ(source.Read(&source, got.data(), 1, 70000), 70000);
  const int opens = io.opens, positions = io.positions;
  empty = 5;  // the read and its four retries
  ASSERT_EQ(source.Read(&source, got.data() + 70000, 1, static_cast<int>(bytes.size()) - 70000),
            static_cast<int>(bytes.size()) - 70000);
  EXPECT_EQ(got, bytes);
  EXPECT_EQ(io.opens, opens + 1);
  EXPECT_EQ(io.positions, positions + 1);
  EXPECT_EQ(io.pauses, (std::vector<DWORD>{500, 500, 500, 500, 500, 500}));
  source.Close(&source);
}

TEST_F(FileSourceTest, AFailedReopenEndsTheDataAndLaterSeeksFail) {
  Settings().fileCacheSize = 64;
  WriteHostFile(device_.card() / "lost.bin", RandomBytes(500000, 11));
  FaultyIo io;
  bool lost = false;
  io.readFault = [&](HANDLE, void*, DWORD, DWORD* got, BOOL* result) {
    if (!lost) return false;
    *got = 0;
    SetLastError(ERROR_DEVICE_REMOVED);
    *result = FALSE;
    return true;
  };
  io.openFault = [&](LPCWSTR, HANDLE* h) {
    if (!lost) return false;
    SetLastError(ERROR_PATH_NOT_FOUND);
    *h = INVALID_HANDLE_VALUE;
    return true;
  };
  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, u"\\Storage Card\\lost.bin"), 0);
  std::vector<uint8_t> got(500000);
  ASSERT_EQ(source.Read(&source, got.data(), 1, 1000), 1000);
  lost = true;
  const int rest = source.Read(&source, got.data(), 1, 499000);
  EXPECT_LT(rest, 499000);  // what the ring held, then nothing
  EXPECT_EQ(source.Read(&source, got.data(), 1, 100), 0);
  EXPECT_EQ(source.Seek(&source, INPUT_SEEK_SET, 400000), -1);
  source.Close(&source);
}

// ---- The read-ahead thread ----

TEST_F(FileSourceTest, CloseStopsABusyReadAheadThreadWithoutWaitingOutItsRetries) {
  Settings().fileCacheSize = 1024;
  Settings().agressiveBuffers = 1;
  WriteHostFile(device_.card() / "busy.bin", RandomBytes(3 << 20, 12));
  zb::testing::TakeOverClock(1000);
  FaultyIo io;
  const DWORD me = GetCurrentThreadId();
  std::atomic<bool> threadFailed{false};
  io.readFault = [&](HANDLE, void*, DWORD, DWORD* got, BOOL* result) {
    if (GetCurrentThreadId() == me) return false;
    threadFailed = true;  // the thread's reads fail: it goes into its retry waits
    *got = 0;
    SetLastError(ERROR_DEVICE_NOT_AVAILABLE);
    *result = FALSE;
    return true;
  };
  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, u"\\Storage Card\\busy.bin"), 0);
  ASSERT_NE(StateOf(&source)->thread, nullptr);
  // Bounded: the thread reaches its first retry wait on the stopped clock.
  for (int i = 0; i < 20000 && !(threadFailed && zb::testing::TimedWaiters() > 0); ++i) std::this_thread::yield();
  ASSERT_TRUE(threadFailed);
  ASSERT_GT(zb::testing::TimedWaiters(), 0u);

  // The clock never moves: Close can only return because the thread stopped by itself.
  std::atomic<bool> closed{false};
  std::thread closer([&] {
    source.Close(&source);
    closed = true;
  });
  for (int i = 0; i < 3000 && !closed; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(closed) << "Close waited for the thread's retries";
  if (!closed) zb::testing::AdvanceClock(100000);
  closer.join();
  zb::testing::ReleaseClock();
  EXPECT_EQ(source.state, nullptr);
}

TEST_F(FileSourceTest, CloseWhileTheThreadWaitsForTheRingToDrainReturnsAtOnce) {
  Settings().fileCacheSize = 21;  // the whole 3 MiB file: the thread fills it and waits
  Settings().agressiveBuffers = 1;
  const std::u16string path = MakeFile("drain.bin", 3 << 20);
  zb::testing::TakeOverClock(1000);
  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, path.c_str()), 0);
  FileReaderState* state = StateOf(&source);
  ASSERT_NE(state->thread, nullptr);
  // Bounded: each pass reads 16 KiB and the stopped clock only holds the short waits between
  // passes, which the test clock lets through as it is advanced.
  for (int i = 0; i < 100000; ++i) {
    EnterCriticalSection(&state->lock);
    const int buffered = state->Buffered();
    LeaveCriticalSection(&state->lock);
    if (buffered >= (3 << 20) - 16384) break;
    if (zb::testing::TimedWaiters() > 0) zb::testing::AdvanceClock(1);
    std::this_thread::yield();
  }
  EnterCriticalSection(&state->lock);
  EXPECT_GE(state->Buffered(), (3 << 20) - 16384);
  LeaveCriticalSection(&state->lock);
  std::atomic<bool> closed{false};
  std::thread closer([&] {
    source.Close(&source);
    closed = true;
  });
  for (int i = 0; i < 3000 && !closed; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(closed);
  if (!closed) zb::testing::AdvanceClock(100000);
  closer.join();
  zb::testing::ReleaseClock();
}

// ---- Files of 2 GiB and more ----

TEST_F(FileSourceTest, FilesPastTwoAndFourGiBAreReadAtTheirTrueOffsets) {
  const std::filesystem::path host = device_.Host("huge.bin");
  {
    std::ofstream create(host, std::ios::binary);
  }
  const unsigned long long size = 5ull << 30;
  std::error_code ec;
  std::filesystem::resize_file(host, size, ec);
  if (ec) GTEST_SKIP() << "the host's temp folder cannot hold a sparse 5 GiB file";
  const int fd = ::open(host.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  const char marker3[] = "three gib", marker5[] = "the end!";
  ASSERT_EQ(::pwrite(fd, marker3, 9, 3ll << 30), 9);
  ASSERT_EQ(::pwrite(fd, marker5, 8, static_cast<off_t>(size - 8)), 8);
  ::close(fd);

  InputSource source = MakeFileSource();
  ASSERT_EQ(source.Open(&source, u"\\huge.bin"), 0);
  EXPECT_EQ(source.GetLength(&source), 0xFFFFFFFFu);  // the word cannot say more
  char got[16] = {};
  ASSERT_EQ(source.Seek(&source, INPUT_SEEK_SET, static_cast<int>(3u << 30)), 0);
  EXPECT_EQ(static_cast<DWORD>(source.Tell(&source)), 3u << 30);
  ASSERT_EQ(source.Read(&source, got, 1, 9), 9);
  EXPECT_EQ(std::string(got, 9), "three gib");
  ASSERT_EQ(source.Seek(&source, INPUT_SEEK_END, -8), 0);
  ASSERT_EQ(source.Read(&source, got, 1, 16), 8);
  EXPECT_EQ(std::string(got, 8), "the end!");
  source.Close(&source);
}

TEST_F(FileSourceTest, TitlesAreTheNameWithoutItsExtension) {
  const struct {
    const char16_t* path;
    const char16_t* title;
  } kCases[] = {
      {u"\\Music\\Song.mp3", u"Song"}, {u"\\Music\\.hidden", u".hidden"}, {u"\\a.b.c", u"a.b"},
      {u"\\Music\\noext", u"noext"},   {u"plain.mp3", u"plain"},
  };
  InputSource source = MakeFileSource();
  for (const auto& c : kCases) {
    WCHAR title[MAX_PATH];
    WCHAR* end = source.GetTitle(&source, c.path, title);
    EXPECT_EQ(std::u16string(title), c.title);
    EXPECT_EQ(end, title + wcslen(title));
  }
  std::u16string longName = u"\\" + std::u16string(600, u'x') + u".mp3";
  WCHAR title[MAX_PATH];
  source.GetTitle(&source, longName.c_str(), title);
  EXPECT_EQ(wcslen(title), MAX_PATH - 1u);
}

}  // namespace
