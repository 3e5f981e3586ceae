// The script around the statements: headers with the ids, conditional lines, definitions from
// the command line, expressions, names; and the errors, each with its file and line.
#include "compile_support.h"

namespace zb::rc::testing {
namespace {

TEST(ScriptTest, HeadersConditionsAndDefinitions) {
  ScriptFolder folder;
  folder.Write("include/resource.h", "#pragma once\n#define IDS_BASE 100\n#define IDS_NEXT (IDS_BASE + 1)\n"
                                     "#ifndef RC_INVOKED\nint Declarations(); // C code the compiler never sees\n#endif\n");
  Options options;
  options.includeDirs.push_back(folder.dir() / "include");
  options.defines.emplace_back("SMARTPHONE", "");
  auto all = Compile(folder, R"(
#include <windows.h>
#include <aygshell.h>
#include "resource.h"
/* a comment
   across lines */
#if defined(SMARTPHONE) && IDS_BASE >= 100
#define VARIANT "phone"
#elif 1
#define VARIANT "touch"
#else
#error never
#endif
#ifdef NOT_DEFINED
BROKEN STATEMENT
#endif
STRINGTABLE
BEGIN
  IDS_NEXT, VARIANT   // the id is an expression
  IDS_BASE * 2 | 1, "odd"
END
named TEXT { "x" }
)",
                     nullptr, options);
  const Resource* block = Find(all, NumberId(kRtString), NumberId(101 / 16 + 1));
  ASSERT_NE(block, nullptr);
  // Strings 96..111: "phone" at 101.
  size_t at = 0;
  for (int id = 96; id < 101; ++id) at += 2;
  EXPECT_EQ(block->data[at], 5);
  EXPECT_EQ(block->data[at + 2], 'p');
  EXPECT_NE(Find(all, NumberId(kRtString), NumberId(201 / 16 + 1)), nullptr);
  EXPECT_NE(Find(all, Named(u"TEXT"), Named(u"NAMED")), nullptr);
}

struct BadScript {
  const char* script;
  const char* message;
  int line;
};

const BadScript kBad[] = {
    {"1 TEXT { 1 }\n1 TEXT { 2 }\n", "a second resource of the same type and name", 2},
    {"\n1 DIALOG 0, 0, 10, 10\nBEGIN\n LTEXT \"x\", UNDEFINED_ID, 0, 0, 1, 1\nEND\n", "unknown name \"UNDEFINED_ID\"", 4},
    {"1 BITMAP \"missing.bmp\"\n", "cannot read the file \"missing.bmp\"", 1},
    {"STRINGTABLE\nBEGIN\n 5 \"open\nEND\n", "a string is not closed", 3},
    {"#endif\n", "#endif without #if", 1},
    {"#if 1\n1 TEXT { 1 }\n", "#if without #endif", 0},
    {"#define F(x) x\n1 TEXT { F(2) }\n", "function-like macro F", 2},
    {"1 ACCELERATORS BEGIN END\n", "ACCELERATORS resources are not supported", 1},
    {"1 MENU BEGIN POPUP \"x\" BEGIN MENUITEM \"y\" 5 END END\n", "\",\" expected after the item's text", 1},
    {"STRINGTABLE BEGIN 70000 \"x\" END\n", "a string id must be from 0 to 65535", 1},
    {"STRINGTABLE BEGIN 1 \"a\" 1 \"b\" END\n", "string 1 is defined twice", 1},
    {"#include \"absent.h\"\n", "cannot find the included file \"absent.h\"", 0},
    {"1 DIALOG 0, 0, 10\nBEGIN END\n", "between the dialog's position and size", 2},
    {"1 TEXT { 1 / 0 }\n", "division by zero", 1},
    {"1 ICON \"bad.ico\"\n", "not an ICO file", 1},
    {"1 TEXT { 1 @ }\n", "unexpected character '@'", 1},
};

TEST(ScriptTest, ErrorsSayWhatAndWhere) {
  for (const BadScript& b : kBad) {
    ScriptFolder folder;
    folder.Write("bad.ico", "not an icon");
    std::string error;
    auto all = Compile(folder, b.script, &error);
    EXPECT_TRUE(all.empty()) << b.script;
    EXPECT_NE(error.find(b.message), std::string::npos) << b.script << "\n" << error;
    if (b.line > 0) {
      EXPECT_NE(error.find("script.rc:" + std::to_string(b.line) + ":"), std::string::npos) << error;
    }
  }
}

}  // namespace
}  // namespace zb::rc::testing
