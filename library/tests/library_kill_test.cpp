// A library killed in the middle of its writes: a second process writes batches of rows and
// reports each commit on a pipe; it is killed with SIGKILL at a random moment, twenty times.
// Every reopen must find a sound file that holds every batch reported as committed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "library_fixture.h"

namespace {

using namespace libtest;

constexpr int kKills = 20;
constexpr int kRowsPerBatch = 40;

// Starts the writer with its stdout on a pipe.
pid_t StartWriter(int* readEnd) {
  int fds[2];
  if (::pipe(fds) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(fds[1], STDOUT_FILENO);
    ::close(fds[0]);
    ::close(fds[1]);
    ::execl(BATCH_WRITER_PATH, BATCH_WRITER_PATH, "\\Library\\metadata.db", std::to_string(kRowsPerBatch).c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  *readEnd = fds[0];
  return pid;
}

// Reads committed batch numbers until `wanted` new ones arrived or the time is up; the highest.
int ReadCommits(int fd, int wanted, int highest) {
  std::string pending;
  for (int got = 0; got < wanted;) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0) break;
    char buffer[256];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    pending.append(buffer, static_cast<size_t>(n));
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      highest = std::max(highest, std::stoi(pending.substr(0, end)));
      ++got;
    }
  }
  return highest;
}

// A journal that starts with its magic number was caught in the middle of a commit: its pages
// must be put back when the file is opened again.
bool HotJournal(const fs::path& db) {
  std::ifstream in(db.string() + "-journal", std::ios::binary);
  char head[8] = {};
  in.read(head, sizeof head);
  static constexpr char kMagic[8] = {'\xd9', '\xd5', '\x05', '\xf9', '\x20', '\xa1', '\x63', '\xd7'};
  return in.gcount() == sizeof head && std::equal(head, head + 8, kMagic);
}

class LibraryKill : public LibraryTest {};

TEST_F(LibraryKill, EveryCommittedBatchSurvivesAKill) {
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> batches(1, 4);
  std::uniform_int_distribution<int> extraMicroseconds(0, 10000);
  int caughtInCommit = 0;
  for (int kill = 1; kill <= kKills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    int fd = -1;
    const pid_t writer = StartWriter(&fd);
    ASSERT_GT(writer, 0);
    const int committed = ReadCommits(fd, batches(random), 0);
    ::usleep(static_cast<useconds_t>(extraMicroseconds(random)));  // land anywhere in the next batch
    ::kill(writer, SIGKILL);
    int status = 0;
    ::waitpid(writer, &status, 0);
    // Anything committed before the kill, even if its report was still in the pipe, counts too.
    const int reported = ReadCommits(fd, 1 << 20, committed);
    ::close(fd);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself (status " << status << ")";
    ASSERT_GE(committed, 1);
    if (HotJournal(HostDb())) ++caughtInCommit;

    HRESULT started = E_FAIL;
    OpenLibrary(kPath, &started);
    ASSERT_EQ(started, S_OK);
    EXPECT_EQ(Scalar(u"select count(*) from (select 1 from pragma_integrity_check where integrity_check='ok');"), 1);
    // Every reported batch is there in full; the one after it is there in full or not at all.
    for (int batch = 1; batch <= reported; ++batch) {
      EXPECT_EQ(Scalar(u"select count(*) from media where source like '\\Storage Card\\batch" +
                       Utf8ToWide(std::to_string(batch)) + u"\\%';"),
                kRowsPerBatch)
          << "batch " << batch;
    }
    const int rows = Scalar(u"select count(*) from media;");
    EXPECT_TRUE(rows == reported * kRowsPerBatch || rows == (reported + 1) * kRowsPerBatch)
        << rows << " rows after " << reported << " reported batches";
    // The next run starts from an empty table, so its batch numbers are its own.
    Exec("delete from media;");
    CloseLibrary();
  }
  // How many kills landed inside a commit, where the journal has to be played back.
  RecordProperty("kills_inside_a_commit", caughtInCommit);
}

}  // namespace
