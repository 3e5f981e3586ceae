// zbplaylist: runs a playlist script on the device and prints what the views received with each
// command, then the final list, so that sequences of playlist operations can be tried by hand;
// or converts a playlist file from one layout to another.
//
//   zbplaylist SCRIPT        (a host file, or - for standard input)
//   zbplaylist convert IN OUT
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "convert_command.h"
#include "playlist_script.h"

namespace {

constexpr char kUsage[] =
    "usage: zbplaylist SCRIPT | zbplaylist convert IN OUT\n"
    "  SCRIPT          playlist commands, one a line (a host file, or - for standard input);\n"
    "                  prints what the views received and the final list\n"
    "  convert IN OUT  reads the playlist IN (.pls .m3u .m3u8 .lst .asx .wmwebasx .plt .pspl .dat\n"
    "                  or by its text) and writes its entries to OUT in the layout OUT's ending\n"
    "                  names (.pls .dat .m3u .m3u8 .asx .wmwebasx .lst .plt; other names get .m3u);\n"
    "                  both are device paths (\\...) or host paths inside the device folder\n";

}  // namespace

int main(int argc, char** argv) {
  const bool help = argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h");
  if (argc == 4 && std::string(argv[1]) == "convert") return RunConvert(argv[2], argv[3]);
  if (argc != 2 || help) {
    std::fputs(kUsage, help ? stdout : stderr);
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
