// Reading sectioned skin descriptions: the file (or the file a reference file names), its lines,
// its section headers and the first header's effects. The sections' lines are built into the
// skin by skin_description_sections.cpp. A reference chain that comes back to a file already
// read is an error, not an endless loop.
#include "skin/skin_description.h"

#include <algorithm>
#include <cstdio>

#include "skin/skin.h"
#include "skin/skin_description_sections.h"
#include "skin/skin_package.h"

namespace {

constexpr int kMaxReferences = 8;

std::u16string Trim(const std::u16string& s) {
  const size_t first = s.find_first_not_of(u" \t");
  if (first == std::u16string::npos) return {};
  return s.substr(first, s.find_last_not_of(u" \t") - first + 1);
}

std::u16string FolderOf(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

// "%d#%s": a number, '#', and the path up to the first blank; empty when the text is no reference.
std::u16string ReferencedPath(const std::u16string& text) {
  if (text.find(u'\n') != std::u16string::npos || text.size() >= 260) return {};
  size_t at = text.find_first_not_of(u" \t");
  if (at == std::u16string::npos) return {};
  if (text[at] == u'-' || text[at] == u'+') ++at;
  const size_t digits = at;
  while (at < text.size() && text[at] >= u'0' && text[at] <= u'9') ++at;
  if (at == digits || at >= text.size() || text[at] != u'#') return {};
  ++at;
  const size_t end = text.find_first_of(u" \t\r", at);
  return text.substr(at, end == std::u16string::npos ? std::u16string::npos : end - at);
}

// The description's text, following references; *path becomes the file really read. Empty with
// *error set for a reference back to a file of the chain (itself included) or too long a chain.
std::u16string DescriptionText(std::u16string* path, std::u16string* error) {
  std::vector<std::u16string> chain{*path};
  while (true) {
    std::u16string text = ReadSkinText(path->c_str());
    std::u16string next = ReferencedPath(text);
    if (next.empty()) return text;
    if (next[0] != u'\\' && next[0] != u'/') next = FolderOf(*path) + u"\\" + next;  // beside the reference
    auto same = [&next](const std::u16string& p) { return _wcsicmp(p.c_str(), next.c_str()) == 0; };
    if (std::any_of(chain.begin(), chain.end(), same)) {
      *error = u"skin description refers back to " + next;
      return {};
    }
    if (static_cast<int>(chain.size()) > kMaxReferences) {
      *error = u"too many skin description references at " + next;
      return {};
    }
    chain.push_back(next);
    *path = next;
  }
}

// A header line "[name]": 1 for a good header, 0 for an empty name, -1 for no header.
int Header(SkinDescriptionContext* c, const std::u16string& line) {
  if (line.size() < 2 || line.front() != u'[' || line.back() != u']') return -1;
  const std::u16string name = Trim(line.substr(1, line.size() - 2));
  if (name.empty()) {
    SetSkinError(&c->parse, u"empty section name");
    return 0;
  }
  if (!c->headerSeen) {
    c->headerSeen = true;
    if (c->parse.skin && !c->infoOnly)
      for (int pragma : {1, 4, 5, 6}) c->parse.skin->SetPragma(pragma, 1);
    const size_t v = name.find(u'v');
    int major = 0, minor = 0;
    if (v != std::u16string::npos) {
      const std::string narrow(name.begin() + static_cast<std::ptrdiff_t>(v), name.end());
      if (std::sscanf(narrow.c_str(), "v%d.%d", &major, &minor) == 2 && major != 0 && major < 9) c->version = true;
    }
  }
  if (c->infoOnly && _wcsicmp(c->section.c_str(), u"Bitmaps") == 0) c->done = true;
  c->section = name;
  return 1;
}

// Reads the file line by line into the context; 0 when there was no text.
int ReadDescription(SkinDescriptionContext* c, const std::u16string& text, std::vector<std::u16string>* messages) {
  int number = 0;
  for (std::u16string line : SplitSkinLines(text)) {
    if (c->done) break;
    ++number;
    line.resize(std::min(line.find(u'\''), line.size()));
    line.resize(std::min(line.find(u"//"), line.size()));
    line = Trim(line);
    if (line.empty()) continue;
    c->parse.error[0] = 0;
    if (!ImportSkinDescription(c, line.c_str())) {
      AddSkinLineSuffix(&c->parse, number);
      if (messages) messages->push_back(c->parse.error);
    }
  }
  return number > 0 ? 1 : 0;
}

void CopyOut(const std::u16string& text, WCHAR* out) {
  const size_t n = std::min<size_t>(text.size(), MAX_PATH - 1);
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), out);
  out[n] = 0;
}

}  // namespace

int ImportSkinDescription(SkinDescriptionContext* c, LPCWSTR text) {
  if (!c || !text) return 0;
  const std::u16string line = text;
  const int header = Header(c, line);
  if (header >= 0) return header;
  if (c->done) return 1;
  std::u16string spaced = line;
  std::replace(spaced.begin(), spaced.end(), u',', u' ');
  std::vector<std::u16string> tokens;
  for (size_t at = 0; at < spaced.size();) {
    at = spaced.find_first_not_of(u" \t", at);
    if (at == std::u16string::npos) break;
    const size_t end = std::min(spaced.find_first_of(u" \t", at), spaced.size());
    tokens.push_back(spaced.substr(at, end - at));
    at = end;
  }
  return ImportDescriptionSectionLine(c, tokens);
}

int ImportSkinDescriptionFile(CSkin* skin, LPCWSTR path, std::vector<std::u16string>* messages) {
  if (!skin || !path) return 0;
  std::u16string file = path, error;
  const std::u16string text = DescriptionText(&file, &error);
  if (!error.empty()) {
    if (messages) messages->push_back(error);
    return 0;
  }
  SkinDescriptionContext context;
  context.parse.skin = skin;
  context.folder = FolderOf(file);
  return ReadDescription(&context, text, messages);
}

int ReadSkinDescriptionInfo(LPCWSTR path, WCHAR* baseName, SIZE* size, WCHAR* platform, WCHAR* previewImage) {
  if (!path) return 0;
  std::u16string file = path, error;
  const std::u16string text = DescriptionText(&file, &error);
  if (!error.empty()) return 0;
  SkinDescriptionContext context;
  context.infoOnly = true;
  context.folder = FolderOf(file);
  if (!ReadDescription(&context, text, nullptr)) return 0;
  const std::u16string own = path;
  if (baseName) CopyOut(own.substr(own.find_last_of(u"\\/") == std::u16string::npos ? 0 : own.find_last_of(u"\\/") + 1), baseName);
  if (platform) {
    platform[0] = 0;
    SystemParametersInfoW(SPI_GETPLATFORMTYPE, MAX_PATH * sizeof(WCHAR), platform, 0);
  }
  if (size && context.sizeFound) *size = SIZE{context.width, context.height};
  if (previewImage && context.previewFound) CopyOut(context.folder + u"\\" + context.preview, previewImage);
  return 1;
}
