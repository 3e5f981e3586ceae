// Registered plug-in commands: ids from 33, names from the module's hook or "Action <id>", the
// phase announcement that decides between run and release, and finding by name (exact) versus
// running by name (any case).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/interface/player_events.h"
#include "core/modules/registered_commands.h"
#include "testing/test_device.h"

namespace {

std::vector<std::string> g_calls;
const char16_t* g_name = u"";  // what the naming hook writes
DWORD g_rewritePhase = 0;       // non-zero: the hook changes the announced phase to this

int NamingHook(UINT code, void* arg, UINT argSize, void* out, UINT outSize) {
  const DWORD word = arg && argSize == 4 ? *static_cast<DWORD*>(arg) : 0;
  g_calls.push_back(std::to_string(code) + " " + std::to_string(word));
  if (code == GEN_CMD_GET_NAME && out && outSize == GEN_CMD_NAME_CHARS) {
    std::u16string_view name = g_name;
    std::copy(name.begin(), name.end(), static_cast<WCHAR*>(out));
    static_cast<WCHAR*>(out)[name.size()] = 0;
    return 0;
  }
  if (code == GEN_CMD_PHASE && g_rewritePhase) *static_cast<DWORD*>(arg) = g_rewritePhase;
  return -1;
}

int SilentHook(UINT code, void* arg, UINT, void*, UINT) {
  g_calls.push_back(std::to_string(code) + " " + std::to_string(*static_cast<DWORD*>(arg)));
  return -1;
}

// Fills the whole name buffer without ending it.
int OverlongHook(UINT code, void*, UINT, void* out, UINT outSize) {
  if (code != GEN_CMD_GET_NAME) return -1;
  std::fill_n(static_cast<WCHAR*>(out), outSize, u'x');
  return 0;
}

GenModule Module(GenCommandHook hook) {
  GenModule module{};
  module.version = 2;
  module.hDllInstance = GetModuleHandleW(nullptr);
  module.CommandHook = hook;
  return module;
}

std::u16string ProgramFile() {
  WCHAR path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

class RegisteredCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_name = u"";
    g_rewritePhase = 0;
  }
  std::vector<std::string> Calls() { return std::exchange(g_calls, {}); }

  zb::testing::TestDevice device;
  CRegisteredCommands commands;
  GenModule naming = Module(NamingHook);
  GenModule silent = Module(SilentHook);
};

TEST_F(RegisteredCommands, IdsStartAt33AndUnknownIdsDoNothing) {
  EXPECT_EQ(commands.Register(&naming), 33);
  EXPECT_EQ(commands.Register(&silent), 34);
  WCHAR name[GEN_CMD_NAME_CHARS] = u"untouched";
  for (int id : {32, 0, -1, 35}) {
    EXPECT_EQ(commands.Run(id, 1, nullptr), 0) << id;
    EXPECT_EQ(commands.Run(id, 0, name), 0) << id;
  }
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(std::u16string(name), u"untouched");
}

TEST_F(RegisteredCommands, ANameTheHookDoesNotGiveIsActionAndTheId) {
  commands.Register(&naming);
  commands.Register(&naming);
  GenModule overlong = Module(OverlongHook);
  GenModule noHook = Module(nullptr);
  commands.Register(&silent);    // 35
  commands.Register(&overlong);  // 36
  commands.Register(&noHook);    // 37
  g_name = u"Browse for content";
  const struct {
    int id;
    std::u16string name;
  } cases[] = {
      {33, u"Browse for content"},
      {35, u"Action 35"},
      {36, std::u16string(GEN_CMD_NAME_CHARS - 1, u'x')},  // cut to the buffer and ended
      {37, u"Action 37"},
  };
  for (const auto& c : cases) {
    WCHAR name[GEN_CMD_NAME_CHARS];
    EXPECT_EQ(commands.Run(c.id, 0, name), 1);
    EXPECT_EQ(std::u16string(name), c.name) << c.id;
  }
  EXPECT_EQ(Calls()[0], std::to_string(GEN_CMD_GET_NAME) + " 33");
}

TEST_F(RegisteredCommands, ThePhaseAsTheHookLeavesItDecidesRunOrRelease) {
  commands.Register(&naming);
  const std::string phase = std::to_string(GEN_CMD_PHASE);
  const std::string run = std::to_string(GEN_CMD_RUN) + " 33";
  const std::string release = std::to_string(GEN_CMD_RELEASE) + " 33";
  const struct {
    int phase;
    DWORD rewrite;
    std::string last;
  } cases[] = {
      {1, 0, run}, {4, 0, run}, {2, 0, release}, {6, 0, release}, {1, 6, release}, {2, 1, run}, {6, 4, run},
  };
  for (const auto& c : cases) {
    g_rewritePhase = c.rewrite;
    EXPECT_EQ(commands.Run(33, c.phase, nullptr), 1);
    EXPECT_EQ(Calls(), (std::vector<std::string>{phase + " " + std::to_string(c.phase), c.last}))
        << "phase " << c.phase << " rewritten to " << c.rewrite;
  }
}

TEST_F(RegisteredCommands, FindingIsExactRunningByNameIgnoresCase) {
  commands.Register(&silent);  // 33, "Action 33"
  commands.Register(&naming);  // 34
  g_name = u"Browse";
  const std::u16string library = ProgramFile();
  EXPECT_EQ(commands.Find(library.c_str(), u"Browse"), 34);
  EXPECT_EQ(commands.Find(library.c_str(), u"browse"), 0);
  EXPECT_EQ(commands.Find(library.c_str(), u"Action 33"), 33);
  std::u16string otherCase = library;
  for (char16_t& c : otherCase) c = towupper(c);
  EXPECT_EQ(commands.Find(otherCase.c_str(), u"Browse"), 0);
  EXPECT_EQ(commands.Find(u"\\Windows\\gen_other.dll", u"Browse"), 0);
  Calls();

  // The skin's run codes press and release the command; other codes only find it.
  EXPECT_EQ(commands.RunByName(u"bROWSE", 1228), 1);
  const std::string p = std::to_string(GEN_CMD_PHASE), run = std::to_string(GEN_CMD_RUN),
                    rel = std::to_string(GEN_CMD_RELEASE), name = std::to_string(GEN_CMD_GET_NAME);
  EXPECT_EQ(Calls(), (std::vector<std::string>{name + " 33", name + " 34", p + " 1", run + " 34", p + " 2", rel + " 34"}));
  EXPECT_EQ(commands.RunByName(u"browse", 1000), 1);
  EXPECT_EQ(Calls(), (std::vector<std::string>{name + " 33", name + " 34"}));
  EXPECT_EQ(commands.RunByName(u"Nothing of that name", 1225), 0);
}

TEST_F(RegisteredCommands, InfoIsGivenForRegisteredIdsOnly) {
  commands.Register(&naming);
  g_name = u"Rate";
  WCHAR library[MAX_PATH] = u"-";
  WCHAR name[GEN_CMD_NAME_CHARS] = u"-";
  commands.GetInfo(32, library, name);
  EXPECT_EQ(std::u16string(library), u"-");
  EXPECT_EQ(std::u16string(name), u"-");
  commands.GetInfo(33, library, name);
  EXPECT_EQ(std::u16string(library), ProgramFile());
  EXPECT_EQ(std::u16string(name), u"Rate");
}

}  // namespace
