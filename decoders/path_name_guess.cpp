// Guessing tags from names: "Artist - Album - 05 - Title.mp3", "07 Song.mp3" inside
// "Artist - Album", and the folder names above the file. The rows of the name table decide.
#include "path_name_guess.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace {

using Text = std::u16string;

struct Split {
  std::vector<Text> parts;
  Text separator;
};

// The last `n` names of a path, file first.
std::vector<Text> LastNames(const Text& path, int n) {
  std::vector<Text> names;
  size_t end = path.size();
  while (static_cast<int>(names.size()) < n) {
    const size_t slash = end == 0 ? Text::npos : path.rfind(u'\\', end - 1);
    const size_t begin = slash == Text::npos ? 0 : slash + 1;
    names.push_back(path.substr(begin, end - begin));
    if (slash == Text::npos) break;
    end = slash;
  }
  names.resize(static_cast<size_t>(n));
  return names;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// "07 Song" reads as "07-Song", so that a track number and a title split into two parts. A
// name that separates its number already ("07 - Song") keeps its own separator.
Text FixTrackSpace(Text name) {
  size_t digits = 0;
  while (digits < name.size() && digits < 3 && IsDigit(name[digits])) ++digits;
  if (digits >= 1 && digits <= 2 && digits + 1 < name.size() && IsBlank(name[digits]) &&
      !IsBlank(name[digits + 1]) && name[digits + 1] != u'-')
    name[digits] = u'-';
  return name;
}

// Two separators give three parts, one gives two; a separator at the very start is none.
Split SplitName(const Text& name) {
  for (const Text& separator : {Text(u" - "), Text(u"-")}) {
    const size_t first = name.find(separator);
    if (first == Text::npos || first == 0) continue;
    const size_t second = name.find(separator, first + 1);
    if (second == Text::npos) continue;
    return {{name.substr(0, first), name.substr(first + separator.size(), second - first - separator.size()),
             name.substr(second + separator.size())},
            separator};
  }
  for (const Text& separator : {Text(u" - "), Text(u"-")}) {
    const size_t first = name.find(separator);
    if (first == Text::npos || first == 0) continue;
    return {{name.substr(0, first), name.substr(first + separator.size())}, separator};
  }
  return {{name}, Text()};
}

std::optional<int> NumberAtStart(const Text& part) {
  int value = 0;
  if (swscanf(part.c_str(), u"%d", &value) == 1) return value;
  return std::nullopt;
}

// The rows of the name table for a name split in two or three parts.
void ApplyNameTable(NameGuess& g, const Split& split, const Text& unsplit, const Text& folder1,
                    const Text& folderAlbum) {
  const auto& p = split.parts;
  const bool hasFolderAlbum = !folderAlbum.empty();
  if (p.size() == 2) {
    if (auto n = NumberAtStart(p[0])) {
      g.track = *n;
      g.title = p[1];
      g.album = folderAlbum;
      if (hasFolderAlbum) g.artist = folder1;
    } else if (auto m = NumberAtStart(p[1])) {
      g.track = *m;
      g.title = p[0];
      g.artist = folder1;
      g.album = folderAlbum;
    } else if (hasFolderAlbum) {
      g.artist = folder1;
      g.album = folderAlbum;
      g.title = unsplit;
    } else {
      g.artist = p[0];
      g.title = p[1];
    }
    return;
  }
  if (auto n = NumberAtStart(p[0])) {
    g.track = *n;
    if (hasFolderAlbum) {
      g.title = p[1] + split.separator + p[2];
      g.artist = folder1;
      g.album = folderAlbum;
    } else {
      g.artist = p[1];
      g.title = p[2];
      g.album = folder1;
    }
  } else if (auto m = NumberAtStart(p[1])) {
    g.track = *m;
    g.title = p[2];
    g.artist = folder1;
    g.album = hasFolderAlbum ? folderAlbum : p[0];
  } else if (auto k = NumberAtStart(p[2])) {
    g.track = *k;
    size_t further = p[2].find(u" - ");
    size_t length = 3;
    if (further == Text::npos) {
      further = p[2].find(u'-');
      length = 1;
    }
    if (further != Text::npos) {
      g.artist = p[0];
      g.album = p[1];
      g.title = p[2].substr(further + length);
    } else {
      g.artist = folder1;
      if (hasFolderAlbum) {
        g.title = p[0] + split.separator + p[1];
      } else {
        g.album = p[0];
        g.title = p[1];
      }
    }
  } else if (hasFolderAlbum) {
    g.artist = folder1;
    g.album = folderAlbum;
    g.title = unsplit;
  } else {
    g.artist = p[0];
    g.album = p[1];
    g.title = p[2];
  }
}

}  // namespace

NameGuess GuessFromPath(const Text& path, int complexity) {
  NameGuess g;
  if (complexity < 0) return g;
  std::vector<Text> names = LastNames(path, 3);
  Text unsplit = names[0];
  const size_t dot = unsplit.rfind(u'.');
  if (dot != Text::npos) unsplit.resize(dot);
  Text folder1 = names[1], folder2 = names[2], folderAlbum;

  if (complexity >= 2) {
    const size_t dash = folder1.find(u" - ", 1);
    if (dash != Text::npos) {
      folderAlbum = folder1.substr(dash + 3);
      folder1.resize(dash);
    }
    const Split split = SplitName(FixTrackSpace(unsplit));
    if (split.parts.size() >= 2 && !split.parts[1].empty()) {
      ApplyNameTable(g, split, unsplit, folder1, folderAlbum);
    } else {
      g.title = unsplit;
    }
  }
  if (complexity >= 1) {
    if (g.album.empty()) g.album = folder1;
    if (g.artist.empty()) g.artist = folder2;
  }
  if (g.title.empty()) g.title = unsplit;
  return g;
}
