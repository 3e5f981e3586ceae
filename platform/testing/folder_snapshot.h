// What a folder holds, to check that a run left it alone: every entry below it with its size,
// inode and modification and change times, so any write, create, rename or delete there shows.
#pragma once
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zb::testing {

using FolderSnapshot = std::map<std::string, std::string>;

inline FolderSnapshot TakeSnapshot(const std::filesystem::path& folder) {
  FolderSnapshot out;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0) continue;
    out[it->path().lexically_relative(folder).string()] =
        std::to_string(st.st_size) + " " + std::to_string(st.st_ino) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
        std::to_string(st.st_mtim.tv_nsec) + " " + std::to_string(st.st_ctim.tv_sec) + "." + std::to_string(st.st_ctim.tv_nsec);
  }
  return out;
}

// "added NAME", "removed NAME" and "changed NAME" lines; none when the folder is as it was.
inline std::vector<std::string> Changes(const FolderSnapshot& before, const FolderSnapshot& after) {
  std::vector<std::string> out;
  for (const auto& [name, what] : before) {
    auto now = after.find(name);
    if (now == after.end()) {
      out.push_back("removed " + name);
    } else if (now->second != what) {
      out.push_back("changed " + name);
    }
  }
  for (const auto& [name, what] : after) {
    if (!before.contains(name)) out.push_back("added " + name);
  }
  return out;
}

}  // namespace zb::testing
