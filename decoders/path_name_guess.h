// Artist, album, title and track number guessed from a file's name and the names of its two
// folders, as far as the settings' formatting complexity allows.
#pragma once
#include <string>

struct NameGuess {
  std::u16string artist, album, title;
  int track = 0;
};

// `path` is a device path; complexity below 0 guesses nothing, 0 the title only, 1 also folders
// as album and artist, 2 and more also the separators inside the names.
NameGuess GuessFromPath(const std::u16string& path, int complexity);
