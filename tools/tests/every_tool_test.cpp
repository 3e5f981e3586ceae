// Every zb tool as a person meets it: each answers --help and -h with its usage on standard
// output and status 0; and a run of each on a fresh device, whose program folder the binaries'
// folder shows through, leaves that folder byte for byte as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "player_process.h"
#include "testing/folder_snapshot.h"
#include "testing/test_device.h"

namespace zb::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kBinaries = TOOLS_FOLDER;

// The tools in the binaries' folder: programs named zb<thing>, the benchmarks aside.
std::vector<std::string> Tools() {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(kBinaries)) {
    const std::string name = entry.path().filename().string();
    struct stat st {};
    if (!name.starts_with("zb") || name.starts_with("zbbench_") || ::stat(entry.path().c_str(), &st) != 0 ||
        !S_ISREG(st.st_mode) || !(st.st_mode & S_IXUSR))
      continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(EveryTool, AnswersHelpWithItsUsageOnStandardOutput) {
  const std::vector<std::string> tools = Tools();
  for (const char* known : {"zbdecode", "zbdev", "zbfetch", "zbimage", "zblibrary", "zbpath", "zbplaylist", "zbrc", "zbreg", "zbskin", "zbtags", "zbtitle"})
    EXPECT_NE(std::find(tools.begin(), tools.end(), known), tools.end()) << known << " is built";
  TestDevice device;
  for (const std::string& tool : tools) {
    for (const char* flag : {"--help", "-h"}) {
      const ToolRun run = RunTool({(kBinaries / tool).string(), flag});
      EXPECT_EQ(run.status, 0) << tool << " " << flag;
      // "usage:" or "Usage:", then the tool's own name.
      std::string head = run.out.substr(0, 7 + tool.size());
      if (!head.empty()) head[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(head[0])));
      EXPECT_EQ(head, "usage: " + tool) << tool << " " << flag << ": " << run.out;
    }
  }
}

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << text;
}

TEST(EveryTool, RunsLeaveTheBinariesFolderAsItWas) {
  const FolderSnapshot before = TakeSnapshot(kBinaries);
  TestDevice device;  // its default profile: the program folder over the binaries' folder
  const fs::path work = device.root().string() + "-work";
  const fs::path song = device.Host("Music/song.mp3");
  fs::create_directories(song.parent_path());
  ASSERT_TRUE(MakeMp3(song, 1));
  Write(work / "list.txt", "insert \\Music\\song.mp3\nlist\n");
  Write(work / "table.rc", "STRINGTABLE\nBEGIN\n    1 \"text\"\nEND\n");
  const std::vector<std::vector<std::string>> runs = {
      {"zbreg", "set", "HKCU\\Software\\Tool Test", "Value", "REG_DWORD", "1"},
      {"zbreg", "dump"},
      {"zblibrary", "info"},
      {"zblibrary", "query", "Artist=nobody"},
      {"zbplaylist", (work / "list.txt").string()},
      {"zbdev", "windows"},
      {"zbtitle", "--format", "%5", "--tag", "Artist=Someone"},
      {"zbpath", song.string()},
      {"zbtags", song.string()},
      {"zbdecode", song.string(), "--null"},
      {"zbimage", SKIN_CORPUS "/strip.png", (work / "strip.png").string(), "--mask", (work / "mask.png").string()},
      {"zbskin", "shot", SKIN_PACKAGE, "--out", (work / "skin.png").string()},
      {"zbrc", "-o", (work / "table.res").string(), "-c", (work / "table.cpp").string(), "-s", "kTable",
       (work / "table.rc").string()},
  };
  for (std::vector<std::string> run : runs) {
    const std::string line = run[0] + " " + run[1];
    run[0] = (kBinaries / run[0]).string();
    EXPECT_EQ(RunTool(run).status, 0) << line;
  }
  EXPECT_TRUE(fs::exists(device.Host("Program Files/Zonbrel/metadata.db"))) << "the library went to the device";
  EXPECT_EQ(Changes(before, TakeSnapshot(kBinaries)), std::vector<std::string>{});
  fs::remove_all(work);
}

}  // namespace
}  // namespace zb::testing
