// The g++ build's fuzz driver: it replays files and corpora, and an input that crashes, trips a
// sanitizer or runs past the time limit fails the run and is kept, byte for byte, for its replay.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class FuzzDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("zb-fuzz-driver-" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "corpus");
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // The driver's exit status, or 128 + the signal that ended it.
  int Run(const std::string& args) {
    const std::string command = std::string(FUZZ_PROBE_PATH) + " --artifact_prefix=" + (root_ / "found" / "").string() +
                                " " + args + " >" + (root_ / "out").string() + " 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  // What the driver kept: file name prefix and contents of each.
  std::vector<std::pair<std::string, std::string>> Kept() {
    std::vector<std::pair<std::string, std::string>> kept;
    if (!fs::exists(root_ / "found")) return kept;
    for (const auto& entry : fs::directory_iterator(root_ / "found")) {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string name = entry.path().filename().string();
      kept.emplace_back(name.substr(0, name.find('-') + 1), std::string(std::istreambuf_iterator<char>(in), {}));
    }
    return kept;
  }

  fs::path root_;
};

TEST_F(FuzzDriver, AFindingFailsTheRunAndKeepsItsInput) {
  const struct {
    std::string input;
    const char* kind;
  } cases[] = {
    {"abort now", "crash-"},
    {"trap\x01\x02", "crash-"},
    {"hang on", "timeout-"},
#if defined(__SANITIZE_ADDRESS__)
    {"overflow!", "crash-"},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    fs::remove_all(root_ / "found");
    const fs::path file = Write(root_ / "input", c.input);
    EXPECT_NE(Run("--timeout=1 " + file.string()), 0);
    const auto kept = Kept();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].first, c.kind);
    EXPECT_EQ(kept[0].second, c.input);
  }
}

TEST_F(FuzzDriver, ACorpusInputIsReplayedBeforeAnyMutation) {
  Write(root_ / "corpus" / "fine", "hello");
  Write(root_ / "corpus" / "regression", "abort: a case that once crashed");
  EXPECT_NE(Run("--seconds=0 --runs=0 " + (root_ / "corpus").string()), 0);
  const auto kept = Kept();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].second, "abort: a case that once crashed");
}

TEST_F(FuzzDriver, ASoundCorpusPassesAndTheSeedIsShownForAReplay) {
  Write(root_ / "corpus" / "fine", "hello");
  EXPECT_EQ(Run("--seconds=1 --timeout=5 --seed=1234 " + (root_ / "corpus").string()), 0);
  EXPECT_TRUE(Kept().empty());
  std::ifstream out(root_ / "out");
  const std::string printed(std::istreambuf_iterator<char>(out), {});
  EXPECT_NE(printed.find("seed 1234"), std::string::npos) << printed;
  EXPECT_NE(printed.find("no finding"), std::string::npos) << printed;
}

}  // namespace
