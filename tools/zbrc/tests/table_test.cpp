// The table the compiler writes, read back through the layer's own checked view: entries sorted
// whatever the script's order, names upper-case and shared, data aligned; and the compiler run
// as the build runs it, with its outputs and its failure.
#include <sys/wait.h>

#include "compile_support.h"
#include "coredll/resource_blob.h"

namespace zb::rc::testing {
namespace {

std::vector<uint8_t> TableOf(const std::string& script) {
  ScriptFolder folder;
  return BuildBlob(Compile(folder, script));
}

TEST(TableTest, ReadsBackThroughTheLayersViewInAFixedOrder) {
  const std::string a = "5 TEXT { 1 }\nabout DIALOG 0,0,1,1 BEGIN END\n2 TEXT { 2, 3 }\n";
  const std::string b = "2 TEXT { 2, 3 }\nABOUT DIALOG 0,0,1,1 BEGIN END\n5 TEXT { 1 }\n";
  std::vector<uint8_t> table = TableOf(a);
  EXPECT_EQ(table, TableOf(b)) << "the order of statements does not matter";
  EXPECT_EQ(table.size() % 16, 0u);

  res::BlobView view;
  ASSERT_TRUE(res::BlobView::Open(table.data(), table.size(), &view));
  ASSERT_EQ(view.count(), 3u);
  res::Entry dialog = view.At(0);
  EXPECT_EQ(dialog.type, 5u);
  ASSERT_TRUE(dialog.name & res::kNamed);
  EXPECT_EQ(view.Name(dialog.name), u"ABOUT");
  EXPECT_EQ(dialog.language, 0x0409);
  res::Entry second = view.At(1), fifth = view.At(2);
  ASSERT_TRUE(second.type & res::kNamed);
  EXPECT_EQ(second.type, fifth.type) << "one copy of the name \"TEXT\"";
  EXPECT_EQ(view.Name(second.type), u"TEXT");
  EXPECT_EQ(second.name, 2u);
  EXPECT_EQ(fifth.name, 5u);
  EXPECT_EQ(second.dataSize, 4u);
  EXPECT_EQ(second.dataOffset % 8, 0u);
  EXPECT_EQ(table[second.dataOffset + 2], 3);
}

TEST(TableTest, DamagedTablesAreRefused) {
  std::vector<uint8_t> table = TableOf("1 TEXT { 1 }\n");
  res::BlobView view;
  for (size_t cut : {size_t{0}, size_t{15}, table.size() - 1}) {
    EXPECT_FALSE(res::BlobView::Open(table.data(), cut, &view)) << cut;
  }
  std::vector<uint8_t> bad = table;
  bad[16 + 8] = 0xFF;  // the entry's data offset
  bad[16 + 9] = 0xFF;
  EXPECT_FALSE(res::BlobView::Open(bad.data(), bad.size(), &view));
  bad = table;
  bad[16] = 0x40;  // a type name outside the table
  bad[19] = 0x80;
  EXPECT_FALSE(res::BlobView::Open(bad.data(), bad.size(), &view));
  bad = table;
  bad[4] = 2;  // another version
  EXPECT_FALSE(res::BlobView::Open(bad.data(), bad.size(), &view));
}

int RunCommand(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ZbrcProcessTest, WritesTableSourceAndDependencies) {
  ScriptFolder folder;
  folder.Write("data.txt", "text");
  fs::path script = folder.Write("app.rc", "#include \"ids.h\"\nIDR_DATA TEXT \"data.txt\"\n");
  folder.Write("ids.h", "#define IDR_DATA 9\n");
  const fs::path out = folder.dir() / "out";
  std::string command = std::string(ZBRC_PATH) + " -o " + out.string() + ".res -c " + out.string() + ".cpp -s zb_t -d " +
                        out.string() + ".d " + script.string();
  ASSERT_EQ(RunCommand(command), 0);
  std::ifstream table(out.string() + ".res", std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(table)), std::istreambuf_iterator<char>());
  res::BlobView view;
  ASSERT_TRUE(res::BlobView::Open(bytes.data(), bytes.size(), &view));
  std::ifstream source(out.string() + ".cpp");
  std::string text((std::istreambuf_iterator<char>(source)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find(".incbin \\\"" + out.string() + ".res\\\""), std::string::npos) << text;
  EXPECT_NE(text.find("ZbRegisterResources(zb_t)"), std::string::npos);
  std::ifstream deps(out.string() + ".d");
  std::string depText((std::istreambuf_iterator<char>(deps)), std::istreambuf_iterator<char>());
  for (const char* input : {"app.rc", "ids.h", "data.txt"}) EXPECT_NE(depText.find(input), std::string::npos) << depText;

  folder.Write("broken.rc", "1 TEXT { UNKNOWN }\n");
  EXPECT_EQ(RunCommand(std::string(ZBRC_PATH) + " -o " + out.string() + ".res -c " + out.string() + ".cpp -s zb_t " +
                (folder.dir() / "broken.rc").string() + " 2>/dev/null"),
            1);
  EXPECT_EQ(RunCommand(std::string(ZBRC_PATH) + " 2>/dev/null"), 2) << "no script: usage";
}

}  // namespace
}  // namespace zb::rc::testing
