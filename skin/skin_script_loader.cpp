// Reading a skin script: finding its text (the package's entry, else the classic script beside
// the program or built in), cutting it into lines, and dispatching each line to its keyword's
// handler. Errors are collected with their line numbers; loading never stops early.
#include <algorithm>

#include "skin/image_loader.h"
#include "skin/skin.h"
#include "skin/skin_package.h"
#include "skin/skin_script.h"

namespace {

// Panels load nested scripts; a script already being read, or too deep a nesting, is refused.
constexpr int kMaxNesting = 8;
std::vector<std::u16string> g_readingNow;

void Progress(LPCWSTR) {}  // the skin-loading progress hook: the program shows nothing

}  // namespace

std::vector<std::u16string> SplitSkinLines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  for (size_t at = text.find_first_not_of(u"\r\n"); at != std::u16string::npos; at = text.find_first_not_of(u"\r\n", at)) {
    const size_t end = std::min(text.find_first_of(u"\r\n", at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end;
  }
  return lines;
}

std::u16string ReadProgramTextOrResource(LPCWSTR fileName, int resourceId, bool* failed) {
  if (failed) *failed = false;
  WCHAR module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  if (WCHAR* slash = wcsrchr(module, u'\\')) slash[1] = 0;
  const std::u16string path = std::u16string(module) + fileName;
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return ReadSkinText(path.c_str());
  WCHAR temp[MAX_PATH] = {};
  if (!ExtractResourceToTempFile(nullptr, MAKEINTRESOURCEW(resourceId), u"TEXT", u"txt", temp)) {
    if (failed) *failed = true;
    return {};
  }
  std::u16string text = ReadSkinText(temp);
  DeleteFileW(temp);
  return text;
}

namespace {

std::u16string ScriptText(LPCWSTR packagePath, LPCWSTR scriptName, BOOL nested, bool* found) {
  WCHAR path[MAX_PATH] = {};
  BOOL temporary = FALSE;
  *found = ExtractSkinEntry(packagePath, scriptName, path, &temporary) != 0;
  if (*found) {
    std::u16string text = ReadSkinText(path);
    if (temporary) DeleteFileW(path);
    return text;
  }
  if (nested || IsSmartphoneDevice()) return {};
  return ReadProgramTextOrResource(u"wszscript.txt", 142);
}

}  // namespace

int DispatchSkinScriptLine(SkinParseContext* context, LPCWSTR line) {
  if (!line || !*line || *line == u'#' || *line == u'\'') return 1;
  const WCHAR* p = line;
  while (*p == u' ' || *p == u'\t') ++p;
  if (!*p) return 1;
  const WCHAR* end = p;
  while (*end && *end != u' ' && *end != u'\t') ++end;
  std::u16string keyword(p, std::min<size_t>(static_cast<size_t>(end - p), 259));
  std::copy(keyword.begin(), keyword.end(), context->keyword);
  context->keyword[keyword.size()] = 0;
  while (*end == u' ' || *end == u'\t') ++end;
  struct Table {
    const SkinKeyword* keywords;
    int count;
  };
  for (const Table& table : {Table{kSkinImageKeywords, kSkinImageKeywordCount}, Table{kSkinElementKeywords, kSkinElementKeywordCount}}) {
    for (int i = 0; i < table.count; ++i)
      if (keyword == table.keywords[i].name) return table.keywords[i].handler(context, end);
  }
  SetSkinError(context, u"unknown first token");
  return 0;
}

int ParseSkinScript(CSkin* skin, LPCWSTR packagePath, LPCWSTR scriptName, BOOL nested,
                    std::vector<std::u16string>* messages) {
  if (!skin || !scriptName) return 0;
  const std::u16string key = std::u16string(packagePath ? packagePath : u"") + u"|" + scriptName;
  auto same = [&key](const std::u16string& s) { return _wcsicmp(s.c_str(), key.c_str()) == 0; };
  if (static_cast<int>(g_readingNow.size()) >= kMaxNesting || std::any_of(g_readingNow.begin(), g_readingNow.end(), same))
    return 0;
  bool found = false;
  const std::u16string text = ScriptText(packagePath, scriptName, nested, &found);
  if (text.empty()) return 0;

  SkinParseContext context;
  context.skin = skin;
  wcsncpy(context.packagePath, packagePath ? packagePath : u"", 259);
  g_readingNow.push_back(key);
  int number = 0;
  for (std::u16string line : SplitSkinLines(text)) {
    ++number;
    line.resize(std::min(line.find(u'\''), line.size()));  // an apostrophe starts a comment
    WCHAR progress[40];
    wsprintfW(progress, u"Skin Loading ... %d", number);
    Progress(progress);
    context.error[0] = 0;
    if (!DispatchSkinScriptLine(&context, line.c_str())) {
      AddSkinLineSuffix(&context, number);
      context.messages.push_back(context.error);
    }
    Sleep(1);
  }
  Progress(u"Done.");
  g_readingNow.pop_back();
  if (messages) *messages = context.messages;
  return number > 0 ? 1 : 0;
}
