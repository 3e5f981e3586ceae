// The attribute table: StateFolder()/attributes, one "<bits> <creation> <host path>" line per
// entry (hex numbers; "\" and newlines in paths escaped). Writers take an flock on a lock file,
// re-read, change, write a new file and rename it into place, so readers never see half a
// table and concurrent writers in several processes do not lose each other's entries.
#include "coredll/attribute_table.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>

#include "device/device.h"
#include "device/paths.h"

namespace zb::files {
namespace {

namespace fs = std::filesystem;
using Table = std::map<std::string, StoredAttributes>;

std::string Escape(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      ++i;
      out += s[i] == 'n' ? '\n' : s[i];
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string Key(const fs::path& host) { return device::TidyHostPath(host).string(); }

// The table file as last read by this process, and how to tell that it changed since.
struct Cache {
  std::mutex lock;
  Table table;
  fs::path file;
  struct stat seen {};
  bool loaded = false;
};

Cache& TheCache() {
  static Cache* cache = new Cache;  // outlives static destructors that may still ask
  return *cache;
}

fs::path TableFile() { return device::StateFolder() / "attributes"; }

Table Parse(const fs::path& file) {
  Table table;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    StoredAttributes a;
    std::string path;
    if (!(fields >> std::hex >> a.bits >> a.creation)) continue;  // a damaged line loses one entry only
    fields.get();
    std::getline(fields, path);
    if (!path.empty()) table[Unescape(path)] = a;
  }
  return table;
}

// Re-reads the table when the file changed (or the device did); call with the cache locked.
void Refresh(Cache& c) {
  fs::path file = TableFile();
  struct stat now {};
  bool exists = ::stat(file.c_str(), &now) == 0;
  bool same = c.loaded && c.file == file && exists == (c.seen.st_ino != 0) && now.st_ino == c.seen.st_ino &&
              now.st_size == c.seen.st_size && now.st_mtim.tv_sec == c.seen.st_mtim.tv_sec &&
              now.st_mtim.tv_nsec == c.seen.st_mtim.tv_nsec;
  if (same) return;
  c.table = exists ? Parse(file) : Table();
  c.file = file;
  c.seen = {};
  if (exists) c.seen = now;
  c.loaded = true;
}

bool Write(Cache& c) {
  fs::path temp = c.file;
  temp += ".new." + std::to_string(::getpid());
  bool written = false;
  {
    std::ofstream out(temp, std::ios::trunc);
    for (const auto& [path, a] : c.table) out << std::hex << a.bits << ' ' << a.creation << ' ' << Escape(path) << '\n';
    out.close();
    written = !out.fail();
  }
  // A table that could not be written whole (a full disk) never replaces the old one.
  bool replaced = written && ::rename(temp.c_str(), c.file.c_str()) == 0;
  if (!replaced) ::unlink(temp.c_str());
  c.loaded = false;  // the next reader stats the new file
  return replaced;
}

// Runs `change` on the current table under the process and host locks, then writes it back
// when it changed anything. False when the table could not be written.
bool Change(const std::function<bool(Table&)>& change) {
  Cache& c = TheCache();
  std::lock_guard guard(c.lock);
  int lockFd = ::open((device::StateFolder() / "attributes.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lockFd >= 0) ::flock(lockFd, LOCK_EX);
  c.loaded = false;
  Refresh(c);
  bool ok = !change(c.table) || Write(c);
  if (lockFd >= 0) ::close(lockFd);  // releases the flock
  return ok;
}

bool Below(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

// Whether the table has an entry for the path or below it; lets the common case (a file that
// never had attributes) skip the host lock.
bool HasEntries(const std::string& key) {
  Cache& c = TheCache();
  std::lock_guard guard(c.lock);
  Refresh(c);
  if (c.table.contains(key)) return true;
  auto it = c.table.lower_bound(key + "/");
  return it != c.table.end() && Below(it->first, key);
}

}  // namespace

StoredAttributes LookupAttributes(const fs::path& host) {
  Cache& c = TheCache();
  std::lock_guard guard(c.lock);
  Refresh(c);
  auto it = c.table.find(Key(host));
  return it == c.table.end() ? StoredAttributes{} : it->second;
}

bool StoreAttributes(const fs::path& host, const StoredAttributes& attributes) {
  std::string key = Key(host);
  if (attributes == StoredAttributes{} && !HasEntries(key)) return true;
  return Change([&](Table& t) {
    auto it = t.find(key);
    if (attributes == StoredAttributes{}) {
      if (it == t.end()) return false;
      t.erase(it);
      return true;
    }
    if (it != t.end() && it->second == attributes) return false;
    t[key] = attributes;
    return true;
  });
}

void ForgetAttributes(const fs::path& host) {
  std::string key = Key(host);
  if (!HasEntries(key)) return;
  Change([&](Table& t) {
    size_t before = t.size();
    std::erase_if(t, [&](const auto& entry) { return entry.first == key || Below(entry.first, key); });
    return t.size() != before;
  });
}

void MoveAttributes(const fs::path& from, const fs::path& to) {
  std::string oldKey = Key(from), newKey = Key(to);
  if (!HasEntries(oldKey) && !HasEntries(newKey)) return;
  Change([&](Table& t) {
    Table moved;
    std::erase_if(t, [&](const auto& entry) {
      if (entry.first != oldKey && !Below(entry.first, oldKey)) return false;
      moved[newKey + entry.first.substr(oldKey.size())] = entry.second;
      return true;
    });
    std::erase_if(t, [&](const auto& entry) { return entry.first == newKey || Below(entry.first, newKey); });
    t.merge(moved);
    return true;
  });
}

}  // namespace zb::files
