// Finds the user's music folder from user-dirs.dirs, the file xdg-user-dirs-update writes:
// lines of NAME="value" where value is "$HOME/..." or an absolute path.
#include "device/user_dirs.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "device/paths.h"

namespace zb::device {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The value of `name` in the file, with its quotes and backslash escapes removed.
std::optional<std::string> ReadEntry(const std::filesystem::path& file, std::string_view name) {
  std::ifstream in(file);
  std::optional<std::string> found;
  for (std::string line; std::getline(in, line);) {
    std::string_view s = Trim(line);
    if (s.empty() || s.front() == '#' || !s.starts_with(name)) continue;
    s = Trim(s.substr(name.size()));
    if (s.empty() || s.front() != '=') continue;
    s = Trim(s.substr(1));
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') continue;
    s = s.substr(1, s.size() - 2);
    std::string value;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '\\' && i + 1 < s.size()) ++i;
      value += s[i];
    }
    found = value;  // the last entry wins, as when the shell sources the file
  }
  return found;
}

}  // namespace

std::filesystem::path UserMusicFolder() {
  const char* home = std::getenv("HOME");
  if (!home || !*home) return {};
  std::filesystem::path homePath = TidyHostPath(home);
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::filesystem::path configDir = config && *config ? std::filesystem::path(config) : homePath / ".config";

  std::filesystem::path music = homePath / "Music";
  if (std::optional<std::string> entry = ReadEntry(configDir / "user-dirs.dirs", "XDG_MUSIC_DIR")) {
    std::string_view v = *entry;
    if (v == "$HOME" || v.starts_with("$HOME/")) {
      music = homePath / std::string(v.substr(std::min<size_t>(v.size(), 6)));
    } else if (v.starts_with("/")) {
      music = std::string(v);
    } else {
      music = homePath / std::string(v);  // relative entries are taken from the home
    }
  }
  music = TidyHostPath(music);
  if (music == homePath) return {};
  return music;
}

}  // namespace zb::device
