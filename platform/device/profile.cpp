// The current device's profile: the defaults, the file that overrides them, and the cache that
// keeps one parsed copy per device (per Generation()).
#include "device/profile.h"

#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <sstream>
#include <unistd.h>

#include "device/device.h"
#include "device/profile_file.h"
#include "device/user_dirs.h"

namespace zb::device {
namespace {

constexpr const char16_t* kDefaultLibraries[] = {
    u"coredll", u"aygshell", u"commctrl", u"ole32",   u"oleaut32", u"ws2",    u"winsock", u"cellcore",
    u"phone",   u"ceshell",  u"note_prj", u"imgdecmp", u"wmcore",  u"wmpocx", u"btceavif",
    u"zarvex",
};

std::filesystem::path RunningProgramFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path(ec) : exe.parent_path();
}

Profile Defaults() {
  Profile p;
  p.programHost = RunningProgramFolder();
  for (const char16_t* lib : kDefaultLibraries) p.libraries.emplace_back(lib);
  std::filesystem::path music = UserMusicFolder();
  if (!music.empty()) p.storageCards.push_back({u"Storage Card", music});
  return p;
}

// Written under a unique name and renamed into place, so a reader never sees half a file even
// when several processes start on a fresh device at once.
void WriteDefaults(const std::filesystem::path& file, const Profile& p) {
  std::string text = ProfileText(p);
  std::filesystem::path temp = file;
  temp += ".new." + std::to_string(::getpid());
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  if (fd >= 0) ::close(fd);
  if (ok && ::rename(temp.c_str(), file.c_str()) == 0) return;
  ::unlink(temp.c_str());
  DebugLog(file.string() + ": cannot write the default profile; using the defaults\n");
}

std::shared_ptr<const Profile> Load() {
  auto profile = std::make_shared<Profile>(Defaults());
  std::filesystem::path file = ProfilePath();
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
      WriteDefaults(file, *profile);
    } else {
      DebugLog(file.string() + ": cannot read the profile; using the defaults\n");
    }
    return profile;
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::vector<std::string> messages;
  ReadProfileText(text.str(), file.string(), *profile, messages);
  for (const std::string& m : messages) DebugLog(m + "\n");
  return profile;
}

}  // namespace

std::filesystem::path ProfilePath() { return StateFolder() / "profile.ini"; }

std::shared_ptr<const Profile> CurrentProfile() {
  struct Cache {
    std::mutex lock;
    std::shared_ptr<const Profile> profile;
    unsigned generation = 0;
  };
  static Cache* cache = new Cache;  // outlives static destructors that may still ask
  std::lock_guard guard(cache->lock);
  unsigned generation = Generation();
  if (!cache->profile || cache->generation != generation) {
    cache->profile = Load();
    cache->generation = generation;
  }
  return cache->profile;
}

}  // namespace zb::device
