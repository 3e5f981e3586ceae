// Device paths to host paths and back. Device paths are resolved component by component:
// first against the mounts (longest first), then against what exists on the host, ignoring case;
// in the program folder, the binaries' folder fills in the programs and libraries it lacks.
#include "device/paths.h"

#include <algorithm>
#include <winerror.h>

#include "device/device.h"
#include "device/profile.h"
#include "device/text.h"

namespace zb::device {
namespace {

namespace fs = std::filesystem;
using Components = std::vector<std::u16string_view>;

constexpr std::u16string_view kStateName = u".zonbrel";

// The components of a device path, with "." and ".." resolved; ".." at the root stays there.
Components Split(std::u16string_view path) {
  Components out;
  for (size_t start = 0; start <= path.size();) {
    size_t end = path.find_first_of(u"\\/", start);
    if (end == std::u16string_view::npos) end = path.size();
    std::u16string_view c = path.substr(start, end - start);
    if (c == u"..") {
      if (!out.empty()) out.pop_back();
    } else if (!c.empty() && c != u".") {
      out.push_back(c);
    }
    start = end + 1;
  }
  return out;
}

// How many leading components of `path` the mount covers, or 0 when it does not hold the path.
size_t Covers(const Mount& mount, const Components& path) {
  Components at = Split(mount.device);
  if (at.empty() || at.size() > path.size()) return 0;
  for (size_t i = 0; i < at.size(); ++i) {
    if (!EqualNoCase(at[i], path[i])) return 0;
  }
  return at.size();
}

// The mount holding `path` with the most components (a mount inside a mount wins).
std::optional<std::pair<Mount, size_t>> Innermost(const std::vector<Mount>& mounts, const Components& path) {
  std::optional<std::pair<Mount, size_t>> best;
  for (const Mount& m : mounts) {
    size_t n = Covers(m, path);
    if (n > 0 && (!best || n > best->second)) best.emplace(m, n);
  }
  return best;
}

// The entry of `folder` called `name`: the exact spelling first, then any spelling that differs
// only in case (the first in byte order, so the answer never depends on directory order).
std::optional<fs::path> FindEntry(const fs::path& folder, std::u16string_view name, bool inRoot) {
  std::error_code ec;
  fs::path exact = folder / ToUtf8(name);
  if (fs::exists(fs::symlink_status(exact, ec))) return exact;
  std::optional<fs::path> found;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (inRoot && EqualNoCase(FromUtf8(entry), kStateName)) continue;
    if (EqualNoCase(FromUtf8(entry), name) && (!found || entry < found->filename().string())) found = it->path();
  }
  return found;
}

// A program or library the binaries' folder offers the device: a regular file the host may run.
bool IsProgramImage(const fs::path& path) {
  std::error_code ec;
  fs::file_status st = fs::status(path, ec);
  return !ec && fs::is_regular_file(st) && (st.permissions() & fs::perms::owner_exec) != fs::perms::none;
}

// The device's own program folder: resolved through the storage cards and the device folder,
// and made when it is missing, so that the program's files always have a place of the device.
std::optional<fs::path> OwnProgramFolder(const Profile& profile, const std::vector<Mount>& cards) {
  Components at = Split(profile.programFolder);
  fs::path cur = TidyHostPath(Root());
  size_t first = 0;
  if (auto card = Innermost(cards, at)) {
    cur = card->first.host;
    first = card->second;
  } else {
    for (const StorageCard& card : profile.storageCards) {
      if (!at.empty() && EqualNoCase(card.name, at[0])) return std::nullopt;  // on a card taken out
    }
  }
  for (size_t i = first; i < at.size(); ++i) {
    std::optional<fs::path> next = FindEntry(cur, at[i], first == 0 && i == 0);
    std::error_code ec;
    if (!next) {
      next = cur / ToUtf8(at[i]);
      fs::create_directory(*next, ec);
    }
    if (!fs::is_directory(*next, ec)) return std::nullopt;
    cur = *next;
  }
  return cur;
}

std::u16string Join(const Components& parts, size_t from = 0) {
  std::u16string out;
  for (size_t i = from; i < parts.size(); ++i) {
    out += u'\\';
    out += parts[i];
  }
  return out.empty() ? u"\\" : out;
}

fs::path Canonical(const fs::path& path) {
  std::error_code ec;
  fs::path c = fs::weakly_canonical(fs::absolute(path, ec), ec);
  return TidyHostPath(ec ? fs::absolute(path, ec) : c);
}

}  // namespace

fs::path TidyHostPath(const fs::path& path) {
  fs::path n = path.lexically_normal();
  return n.has_filename() || n == n.root_path() ? n : n.parent_path();
}

bool IsWithin(const fs::path& path, const fs::path& folder) {
  fs::path p = TidyHostPath(path), f = TidyHostPath(folder);
  auto [fi, pi] = std::mismatch(f.begin(), f.end(), p.begin(), p.end());
  return fi == f.end();
}

std::u16string NormalizePath(std::u16string_view devicePath) { return Join(Split(devicePath)); }

std::u16string ProgramFolder() { return CurrentProfile()->programFolder; }

std::vector<Mount> Mounts() {
  std::shared_ptr<const Profile> profile = CurrentProfile();
  std::vector<Mount> out;
  std::error_code ec;
  for (const StorageCard& card : profile->storageCards) {
    if (fs::is_directory(card.host, ec)) out.push_back({u"\\" + card.name, TidyHostPath(card.host), true, {}});
  }
  if (std::optional<fs::path> own = OwnProgramFolder(*profile, out)) {
    Mount program{NormalizePath(profile->programFolder), *own, false, {}};
    if (fs::is_directory(profile->programHost, ec)) program.image = TidyHostPath(profile->programHost);
    out.push_back(std::move(program));
  }
  return out;
}

std::vector<fs::path> ImagesShownIn(std::u16string_view deviceFolder) {
  std::optional<Mount> program = MountAt(deviceFolder);
  std::vector<fs::path> out;
  if (!program || program->image.empty()) return out;
  std::error_code ec;
  for (fs::directory_iterator it(program->image, ec), end; !ec && it != end; it.increment(ec)) {
    std::u16string name = FromUtf8(it->path().filename().string());
    if (IsProgramImage(it->path()) && !FindEntry(program->host, name, false)) out.push_back(it->path());
  }
  return out;
}

bool IsReadOnlyHost(const fs::path& host) {
  std::shared_ptr<const Profile> profile = CurrentProfile();
  if (profile->programHost.empty() || !IsWithin(host, profile->programHost)) return false;
  // A device folder or a card inside the binaries' folder is still the device's to write.
  if (IsWithin(host, Root())) return false;
  for (const StorageCard& card : profile->storageCards) {
    if (IsWithin(host, card.host)) return false;
  }
  return true;
}

std::optional<Mount> MountOf(std::u16string_view devicePath) {
  auto best = Innermost(Mounts(), Split(devicePath));
  return best ? std::optional<Mount>(best->first) : std::nullopt;
}

std::optional<Mount> MountAt(std::u16string_view devicePath) {
  Components path = Split(devicePath);
  auto best = Innermost(Mounts(), path);
  return best && best->second == path.size() ? std::optional<Mount>(best->first) : std::nullopt;
}

std::vector<Mount> MountsInside(std::u16string_view deviceFolder) {
  Components folder = Split(deviceFolder);
  std::vector<Mount> out;
  for (const Mount& m : Mounts()) {
    Components at = Split(m.device);
    if (at.size() != folder.size() + 1) continue;
    bool inside = true;
    for (size_t i = 0; i < folder.size() && inside; ++i) inside = EqualNoCase(at[i], folder[i]);
    if (inside) out.push_back(m);
  }
  return out;
}

std::optional<fs::path> ToHost(std::u16string_view devicePath, uint32_t* error) {
  auto fail = [error](uint32_t code) -> std::optional<fs::path> {
    if (error) *error = code;
    return std::nullopt;
  };
  Components path = Split(devicePath);
  fs::path cur = TidyHostPath(Root());
  fs::path image;
  size_t first = 0;
  if (auto mount = Innermost(Mounts(), path)) {
    cur = mount->first.host;
    image = mount->first.image;
    first = mount->second;
  } else if (!path.empty() && EqualNoCase(path[0], kStateName)) {
    return fail(path.size() == 1 ? ERROR_ACCESS_DENIED : ERROR_PATH_NOT_FOUND);
  }
  for (size_t i = first; i < path.size(); ++i) {
    bool last = i + 1 == path.size();
    std::optional<fs::path> entry = FindEntry(cur, path[i], first == 0 && i == 0);
    if (!entry && last && i == first && !image.empty()) {
      entry = FindEntry(image, path[i], false);  // the binaries' folder shows through, read-only
      if (entry && !IsProgramImage(*entry)) entry.reset();
    }
    std::error_code ec;
    if (entry && (last || fs::is_directory(*entry, ec))) {
      cur = *entry;
    } else if (last) {
      cur /= ToUtf8(path[i]);
    } else {
      return fail(ERROR_PATH_NOT_FOUND);
    }
  }
  // A card mounted from above the device folder could otherwise lead into the state folder.
  if (IsWithin(cur, StateFolder())) return fail(ERROR_ACCESS_DENIED);
  if (error) *error = ERROR_SUCCESS;
  return cur;
}

std::optional<std::u16string> ToDevice(const fs::path& host) {
  fs::path h = Canonical(host);
  const std::vector<Mount> mounts = Mounts();
  for (const Mount& m : mounts) {
    if (!m.image.empty() && h.parent_path() == Canonical(m.image) && IsProgramImage(h)) {
      return m.device + u"\\" + FromUtf8(h.filename().string());
    }
  }
  std::optional<Mount> best;
  fs::path bestHost;
  for (const Mount& m : mounts) {
    fs::path mh = Canonical(m.host);
    if (IsWithin(h, mh) && (!best || std::distance(mh.begin(), mh.end()) > std::distance(bestHost.begin(), bestHost.end()))) {
      best = m;
      bestHost = mh;
    }
  }
  fs::path base = best ? bestHost : Canonical(Root());
  if (!IsWithin(h, base)) return std::nullopt;
  if (!best && IsWithin(h, Canonical(StateFolder()))) return std::nullopt;
  std::vector<std::u16string> names;
  for (const fs::path& part : h.lexically_relative(base)) {
    if (part != ".") names.push_back(FromUtf8(part.string()));
  }
  std::u16string out = best ? best->device : std::u16string();
  for (const std::u16string& n : names) out += u"\\" + n;
  return out.empty() ? u"\\" : out;
}

}  // namespace zb::device
