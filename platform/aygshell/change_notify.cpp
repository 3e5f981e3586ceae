// File-change notifications: SHChangeNotifyRegister asks for WM_FILECHANGEINFO about a device
// folder (and, when recursive, everything below it). One thread of the process watches the host
// folders behind the registrations with inotify and turns what it sees into the shell's events:
// a file or folder made, deleted, renamed (the two halves of a move put together), written or
// changed in its attributes; and a storage card's folder appearing or going away (the card
// inserted or removed). Each registration whose mask and folder match gets its own record, which
// its window frees with SHChangeNotifyFree. SHChangeNotify raises an event by hand.
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "aygshell/shell_state.h"
#include "device/device.h"
#include "device/paths.h"
#include "device/profile.h"
#include "device/text.h"

namespace zb::shell {
namespace {

struct Registration {
  HWND hwnd = nullptr;
  DWORD mask = 0;
  std::u16string folder;  // device path, normal form; "\" for the whole device
  bool recursive = false;
};

struct Event {
  Event() = default;
  Event(long event, std::u16string first, std::u16string second = {})
      : id(static_cast<LONG>(event)), item1(std::move(first)), item2(std::move(second)) {}
  LONG id = 0;
  std::u16string item1, item2;
};

constexpr uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_ATTRIB;

class Watcher {
 public:
  static Watcher& Instance() {
    static Watcher* watcher = new Watcher;
    return *watcher;
  }

  bool Add(const Registration& r) {
    std::lock_guard lock(mutex_);
    if (!Start()) return false;
    registrations_.push_back(r);
    Rewatch();
    return true;
  }

  bool Remove(HWND hwnd) {
    std::lock_guard lock(mutex_);
    const size_t before = registrations_.size();
    registrations_.erase(std::remove_if(registrations_.begin(), registrations_.end(),
                                        [&](const Registration& r) { return r.hwnd == hwnd; }),
                         registrations_.end());
    Rewatch();
    return registrations_.size() != before;
  }

  void Raise(const Event& e) {
    std::lock_guard lock(mutex_);
    Deliver(e);
  }

 private:
  bool Start() {
    if (fd_ >= 0) return true;
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd_ < 0 || wake_ < 0) return false;
    std::thread([this] { Run(); }).detach();
    return true;
  }

  // Watches again what the registrations need: their folders (and, for recursive ones, every
  // folder below) and the folders that hold the storage cards.
  void Rewatch() {
    for (auto& [wd, host] : watched_) inotify_rm_watch(fd_, wd);
    watched_.clear();
    cards_.clear();
    const auto& cards = zb::device::CurrentProfile()->storageCards;
    for (const Registration& r : registrations_) {
      auto host = zb::device::ToHost(r.folder);
      if (!host) continue;
      Watch(*host, kEvents, r.recursive);
      // A card is mounted from a folder of its own, outside the device folder: a registration
      // that covers it watches it too.
      if (!r.recursive) continue;
      for (const zb::device::StorageCard& card : cards) {
        std::error_code ec;
        if (!card.host.empty() && Inside(r, u"\\" + card.name) && std::filesystem::is_directory(card.host, ec))
          Watch(card.host, kEvents, true);
      }
    }
    if (registrations_.empty()) return;
    for (const zb::device::StorageCard& card : zb::device::CurrentProfile()->storageCards) {
      if (card.host.empty()) continue;
      const std::filesystem::path parent = card.host.parent_path();
      const int wd = inotify_add_watch(fd_, parent.c_str(), IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO);
      if (wd >= 0) {
        if (!watched_.count(wd)) watched_[wd] = parent;
        cards_[wd].push_back({card.host.filename().string(), u"\\" + card.name});
      }
    }
  }

  void Watch(const std::filesystem::path& folder, uint32_t events, bool deep) {
    const int wd = inotify_add_watch(fd_, folder.c_str(), events);
    if (wd < 0) return;
    watched_[wd] = folder;
    if (!deep) return;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) Watch(it->path(), events, true);
    }
  }

  // The two halves of a move come one after the other, but may fall into different reads: a
  // lone first half waits a moment for its second before it counts as a deletion.
  void Run() {
    std::vector<char> buffer(64 * 1024);
    std::optional<Event> pendingMove;
    uint32_t pendingCookie = 0;
    for (;;) {
      pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
      const int ready = poll(fds, 2, pendingMove ? 100 : -1);
      if (ready == 0 && pendingMove) {
        std::lock_guard lock(mutex_);
        Deliver(*pendingMove);
        pendingMove.reset();
        continue;
      }
      const ssize_t n = ready > 0 ? read(fd_, buffer.data(), buffer.size()) : -1;
      if (n <= 0) continue;
      std::lock_guard lock(mutex_);
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buffer.data() + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        Take(*e, &pendingMove, &pendingCookie);
      }
    }
  }

  std::optional<std::u16string> DevicePath(int wd, const char* name) {
    auto it = watched_.find(wd);
    if (it == watched_.end()) return std::nullopt;
    return zb::device::ToDevice(name && *name ? it->second / name : it->second);
  }

  void Take(const inotify_event& e, std::optional<Event>* pendingMove, uint32_t* pendingCookie) {
    const bool folder = (e.mask & IN_ISDIR) != 0;
    // A storage card's own folder coming or going.
    if (auto cards = cards_.find(e.wd); cards != cards_.end() && e.len) {
      for (const auto& [hostName, devicePath] : cards->second) {
        if (hostName != e.name) continue;
        const bool arrived = e.mask & (IN_CREATE | IN_MOVED_TO);
        Deliver(Event{arrived ? SHCNE_DRIVEADD : SHCNE_DRIVEREMOVED, devicePath});
        Deliver(Event{arrived ? SHCNE_MEDIAINSERTED : SHCNE_MEDIAREMOVED, devicePath});
        Rewatch();  // the card's folders can be watched (or no longer)
        return;
      }
    }
    auto path = DevicePath(e.wd, e.len ? e.name : nullptr);
    if (!path) return;
    if (e.mask & IN_MOVED_FROM) {
      if (*pendingMove) Deliver(**pendingMove);
      *pendingMove = Event{folder ? SHCNE_RMDIR : SHCNE_DELETE, *path};
      *pendingCookie = e.cookie;
      return;
    }
    if (e.mask & IN_MOVED_TO) {
      if (*pendingMove && *pendingCookie == e.cookie) {
        if (folder) WatchNew(e.wd, e.name);
        Deliver(Event{folder ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM, (*pendingMove)->item1, *path});
        pendingMove->reset();
      } else {
        if (folder) WatchNew(e.wd, e.name);
        Deliver(Event{folder ? SHCNE_MKDIR : SHCNE_CREATE, *path});
      }
      return;
    }
    if (e.mask & IN_CREATE) {
      // Watched before anyone is told, so that what the news makes them do inside is seen.
      if (folder) WatchNew(e.wd, e.name);
      Deliver(Event{folder ? SHCNE_MKDIR : SHCNE_CREATE, *path});
    } else if (e.mask & IN_DELETE) {
      Deliver(Event{folder ? SHCNE_RMDIR : SHCNE_DELETE, *path});
    } else if (e.mask & IN_CLOSE_WRITE) {
      Deliver(Event{SHCNE_UPDATEITEM, *path});
    } else if (e.mask & IN_ATTRIB) {
      Deliver(Event{SHCNE_ATTRIBUTES, *path});
    }
  }

  // A folder that appeared inside a watched one is watched too when a recursive registration
  // covers it.
  void WatchNew(int wd, const char* name) {
    auto it = watched_.find(wd);
    if (it == watched_.end()) return;
    auto path = zb::device::ToDevice(it->second / name);
    if (!path) return;
    for (const Registration& r : registrations_) {
      if (r.recursive && Inside(r, *path)) {
        Watch(it->second / name, kEvents, true);
        return;
      }
    }
  }

  static bool Inside(const Registration& r, const std::u16string& path) {
    if (path.empty()) return false;
    if (r.folder == u"\\") return r.recursive || path.find(u'\\', 1) == std::u16string::npos;
    if (path.size() < r.folder.size() || !EqualNoCase(std::u16string_view(path).substr(0, r.folder.size()), r.folder))
      return false;
    if (path.size() == r.folder.size()) return true;  // the folder itself
    if (path[r.folder.size()] != u'\\') return false;
    return r.recursive || path.find(u'\\', r.folder.size() + 1) == std::u16string::npos;
  }

  void Deliver(const Event& e) {
    for (const Registration& r : registrations_) {
      if (!(r.mask & e.id)) continue;
      if (!Inside(r, e.item1) && !(e.item2.size() && Inside(r, e.item2))) continue;
      PostMessageW(r.hwnd, WM_FILECHANGEINFO, 0, reinterpret_cast<LPARAM>(MakeRecord(e)));
    }
  }

  // One block: the record and both paths after it.
  static FILECHANGENOTIFY* MakeRecord(const Event& e) {
    const size_t bytes = sizeof(FILECHANGENOTIFY) + (e.item1.size() + 1 + e.item2.size() + 1) * sizeof(char16_t);
    auto* record = static_cast<FILECHANGENOTIFY*>(::operator new(bytes));
    std::memset(record, 0, bytes);
    auto* text = reinterpret_cast<char16_t*>(record + 1);
    std::copy(e.item1.begin(), e.item1.end(), text);
    char16_t* second = text + e.item1.size() + 1;
    std::copy(e.item2.begin(), e.item2.end(), second);
    record->dwRefCount = 1;
    FILECHANGEINFO& info = record->fci;
    info.cbSize = sizeof(FILECHANGEINFO);
    info.wEventId = e.id;
    info.uFlags = SHCNF_PATH;
    info.dwItem1 = reinterpret_cast<ULONG_PTR>(text);
    info.dwItem2 = e.item2.empty() ? 0 : reinterpret_cast<ULONG_PTR>(second);
    const std::u16string& subject = e.item2.empty() ? e.item1 : e.item2;
    WIN32_FIND_DATAW data{};
    HANDLE found = FindFirstFileW(subject.c_str(), &data);
    if (found != INVALID_HANDLE_VALUE) {
      FindClose(found);
      info.dwAttributes = data.dwFileAttributes;
      info.ftModified = data.ftLastWriteTime;
      info.nFileSize = data.nFileSizeLow;
    }
    return record;
  }

  std::recursive_mutex mutex_;
  int fd_ = -1, wake_ = -1;
  std::vector<Registration> registrations_;
  std::map<int, std::filesystem::path> watched_;
  std::map<int, std::vector<std::pair<std::string, std::u16string>>> cards_;  // host name, device path
};

}  // namespace
}  // namespace zb::shell

using namespace zb::shell;

extern "C" BOOL SHChangeNotifyRegister(HWND hwnd, SHCHANGENOTIFYENTRY* entry) {
  if (!IsWindow(hwnd) || !entry) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Registration r;
  r.hwnd = hwnd;
  r.mask = entry->dwEventMask;
  r.folder = entry->pszWatchDir && entry->pszWatchDir[0] ? zb::device::NormalizePath(entry->pszWatchDir) : u"\\";
  r.recursive = entry->fRecursive != FALSE;
  if (!Watcher::Instance().Add(r)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL SHChangeNotifyDeregister(HWND hwnd) { return Watcher::Instance().Remove(hwnd) ? TRUE : FALSE; }

extern "C" void SHChangeNotifyFree(FILECHANGENOTIFY* notify) {
  if (notify && --notify->dwRefCount == 0) ::operator delete(notify);
}

extern "C" void SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2) {
  if ((flags & 0xFF) != SHCNF_PATH || !item1) return;  // paths are what this shell knows
  Event e;
  e.id = eventId;
  e.item1 = zb::device::NormalizePath(static_cast<LPCWSTR>(item1));
  if (item2) e.item2 = zb::device::NormalizePath(static_cast<LPCWSTR>(item2));
  Watcher::Instance().Raise(e);
}
