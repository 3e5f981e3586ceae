// zbplaylist: runs a playlist script on the device and prints what the views received with each
// command, then the final list, so that sequences of playlist operations can be tried by hand.
//
//   zbplaylist SCRIPT      (a host file, or - for standard input)
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "playlist_script.h"

int main(int argc, char** argv) {
  const bool help = argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h");
  if (argc != 2 || help) {
    std::fputs("usage: zbplaylist SCRIPT\n", help ? stdout : stderr);
    return help ? 0 : 2;
  }
  std::stringstream text;
  if (std::string(argv[1]) == "-") {
    text << std::cin.rdbuf();
  } else {
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "zbplaylist: cannot read %s\n", argv[1]);
      return 1;
    }
    text << file.rdbuf();
  }
  CPlaylistScript script;
  const bool ran = script.Run(text.str());
  std::fputs(script.Output().c_str(), stdout);
  if (!ran) {
    std::fprintf(stderr, "zbplaylist: %s\n", script.Error().c_str());
    return 1;
  }
  std::fputs("final\n", stdout);
  std::fputs(script.Listing().c_str(), stdout);
  return 0;
}
