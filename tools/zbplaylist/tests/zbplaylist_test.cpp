// zbplaylist run as a person runs it, on the test's device: a script file (or standard input)
// gives the trace and the final list; a bad script stops at its line with the reason and exit 1.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "testing/test_device.h"

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class ZbplaylistTool : public ::testing::Test {
 protected:
  // Runs the tool through the shell; `input` names what follows it on the command line.
  Outcome Run(const std::string& arguments) {
    const auto out = device.root() / "out.txt";
    const auto err = device.root() / "err.txt";
    const std::string command = std::string(ZBPLAYLIST_PATH) + " " + arguments + " >" + out.string() + " 2>" + err.string();
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
  }
  std::string Script(const std::string& text) {
    const auto path = device.root() / "script.txt";
    std::ofstream(path) << text;
    return path.string();
  }

  zb::testing::TestDevice device;
};

TEST_F(ZbplaylistTool, PrintsTheTraceAndTheFinalList) {
  const Outcome outcome = Run(Script(
      "# a comment line\n"
      "mkdir \\Music\n"
      "file \"\\Music\\b side.mp3\" 10\n"
      "file \\Music\\a.mp3 10\n"
      "view 1\n"
      "folder \\Music   # the whole folder\n"
      "current 1\n"
      "move 1 0\n"));
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(outcome.out,
            "> mkdir \\Music\n"
            "> file \"\\Music\\b side.mp3\" 10\n"
            "> file \\Music\\a.mp3 10\n"
            "> view 1\n"
            "> folder \\Music\n"
            "  1: PLM_BATCH 0 0\n"
            "  1: PLM_ITEMCHANGED 0 0\n"
            "  1: PLM_ITEMCHANGED 1 1\n"
            "  1: PLM_BATCH 1 0\n"
            "  -> 0\n"
            "> current 1\n"
            "  1: PLM_CURRENT 1 0\n"
            "> move 1 0\n"
            "  1: PLM_CURRENT 0 0\n"
            "  1: PLM_MOVED 0 0x00000001\n"
            "final\n"
            "  * 0 \\Music\\b side.mp3 \"b side.mp3\" -2 1\n"
            "    1 \\Music\\a.mp3 \"a.mp3\" -2 1\n"
            "  current 0, history, position 0\n");
}

TEST_F(ZbplaylistTool, ReadsStandardInput) {
  const Outcome outcome = Run("- < " + Script("insert \\x.mp3\n"));
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, "> insert \\x.mp3\n  -> 0\nfinal\n    0 \\x.mp3 \"x.mp3\" -2 1\n  current -1, history, position 0\n");
}

TEST_F(ZbplaylistTool, StopsAtTheFirstBadLine) {
  const struct {
    std::string script;
    std::string error;
  } cases[] = {
      {"insert \\a.mp3\nfrobnicate 1\ninsert \\b.mp3\n", "zbplaylist: line 2: unknown command 'frobnicate'\n"},
      {"remove\n", "zbplaylist: line 1: usage: remove INDEX\n"},
      {"insert \\a.mp3\n\nremove one\n", "zbplaylist: line 3: not a number: 'one'\n"},
      {"shuffle maybe\n", "zbplaylist: line 1: expected on or off, not 'maybe'\n"},
      {"tag \\a.mp3 Nonsense=1\n", "zbplaylist: line 1: expected a tag NAME=VALUE, not 'Nonsense=1'\n"},
      {"file \\Missing\\a.mp3\n", "zbplaylist: line 1: cannot create \\Missing\\a.mp3\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    const Outcome outcome = Run(Script(c.script));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, c.error);
    EXPECT_EQ(outcome.out.find("final"), std::string::npos);
  }
}

TEST_F(ZbplaylistTool, RefusesAMissingScriptAndWrongArguments) {
  Outcome outcome = Run((device.root() / "none.txt").string());
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("zbplaylist: cannot read"), std::string::npos);
  outcome = Run("");
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.err.rfind("usage: zbplaylist SCRIPT | zbplaylist convert IN OUT\n", 0), 0u);
}

TEST_F(ZbplaylistTool, ConvertsBetweenLayoutsByTheOutputsEnding) {
  std::filesystem::create_directories(device.root() / "Music");
  std::ofstream(device.root() / "Music" / "in.pls", std::ios::binary)
      << "[playlist]\nfile1=a.mp3\ntitle1=A\nlength1=-1\nfile2=http://r/s?x=1&y=2\nlength2=-1\n";
  // A host path in, a device path out.
  Outcome outcome = Run("convert " + (device.root() / "Music" / "in.pls").string() + " '\\Music\\out.m3u'");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "2 entries from \\Music\\in.pls\nwritten to \\Music\\out.m3u\n");
  EXPECT_EQ(Slurp(device.root() / "Music" / "out.m3u"), "#EXTM3U\r\n#EXTINF:-1,A\r\na.mp3\r\n#EXTINF:-1,\r\nhttp://r/s?x=1&y=2\r\n");
  // A name without a layout of its own becomes M3U with ".m3u" added.
  outcome = Run("convert '\\Music\\out.m3u' " + (device.root() / "Music" / "copy.txt").string());
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "2 entries from \\Music\\out.m3u\nwritten to \\Music\\copy.txt.m3u\n");
  EXPECT_EQ(Slurp(device.root() / "Music" / "copy.txt.m3u"), Slurp(device.root() / "Music" / "out.m3u"));
}

TEST_F(ZbplaylistTool, ConvertRefusesWhatItCannotReadOrWrite) {
  std::ofstream(device.root() / "empty.m3u") << "#EXTM3U\n";
  const struct {
    std::string arguments;
    std::string error;
  } cases[] = {
      {"/nonexistent-zb/in.m3u '\\x.m3u'", "zbplaylist: /nonexistent-zb/in.m3u is not inside the device folder\n"},
      {"'\\empty.m3u' '\\x.m3u'", "zbplaylist: no entries read from \\empty.m3u\n"},
      {"'\\empty.m3u' '\\smart.pspl'", "zbplaylist: \\smart.pspl: no playlist layout is written under this name\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const Outcome outcome = Run("convert " + c.arguments);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, c.error);
    EXPECT_EQ(outcome.out, "");
  }
}

}  // namespace
