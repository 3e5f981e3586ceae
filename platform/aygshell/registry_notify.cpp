// Registry notifications: RegistryNotifyWindow watches one value and posts the window its
// message when the value changes and its condition holds for the new value (wParam the caller's
// word, lParam the new value for a DWORD). The registry is a file in the device's state folder
// that every change replaces, so one thread of the process waits for that with inotify and
// reads the watched values again.
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "aygshell/shell_state.h"
#include "device/device.h"

namespace zb::shell {
namespace {

struct Value {
  bool present = false;
  DWORD type = 0;
  std::vector<BYTE> bytes;
  bool operator==(const Value&) const = default;
  DWORD Dword() const {
    DWORD d = 0;
    if (type == REG_DWORD && bytes.size() >= sizeof d) std::copy_n(bytes.data(), sizeof d, reinterpret_cast<BYTE*>(&d));
    return d;
  }
  std::u16string Text() const {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return u"";
    std::u16string t(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / sizeof(char16_t));
    while (!t.empty() && t.back() == 0) t.pop_back();
    return t;
  }
};

struct Watch {
  HKEY root = nullptr;
  std::u16string key, value;
  HWND hwnd = nullptr;
  UINT message = 0;
  DWORD userData = 0;
  bool hasCondition = false;
  NOTIFICATIONCONDITION condition{};
  std::u16string target;  // a string condition's text, kept
  Value last;
};

Value Read(const Watch& w) {
  Value v;
  HKEY key = nullptr;
  if (RegOpenKeyExW(w.root, w.key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  DWORD size = 0;
  if (RegQueryValueExW(key, w.value.empty() ? nullptr : w.value.c_str(), nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
    v.bytes.resize(size);
    if (RegQueryValueExW(key, w.value.empty() ? nullptr : w.value.c_str(), nullptr, &v.type, v.bytes.data(), &size) ==
        ERROR_SUCCESS) {
      v.present = true;
      v.bytes.resize(size);
    }
  }
  RegCloseKey(key);
  return v;
}

bool Holds(const Watch& w, const Value& now) {
  if (!w.hasCondition) return true;
  const NOTIFICATIONCONDITION& c = w.condition;
  if (now.type == REG_DWORD || !now.present) {
    const DWORD value = now.Dword() & c.dwMask, target = c.TargetValue.dw & c.dwMask;
    switch (c.ctComparisonType) {
      case REG_CT_ANYCHANGE: return (w.last.Dword() & c.dwMask) != value || w.last.present != now.present;
      case REG_CT_EQUAL: return value == target;
      case REG_CT_NOT_EQUAL: return value != target;
      case REG_CT_GREATER: return value > target;
      case REG_CT_GREATER_OR_EQUAL: return value >= target;
      case REG_CT_LESS: return value < target;
      case REG_CT_LESS_OR_EQUAL: return value <= target;
      default: return false;
    }
  }
  const std::u16string text = now.Text();
  switch (c.ctComparisonType) {
    case REG_CT_ANYCHANGE: return true;
    case REG_CT_EQUAL: return text == w.target;
    case REG_CT_NOT_EQUAL: return text != w.target;
    case REG_CT_CONTAINS: return text.find(w.target) != std::u16string::npos;
    case REG_CT_STARTS_WITH: return text.starts_with(w.target);
    case REG_CT_ENDS_WITH: return text.ends_with(w.target);
    default: return false;
  }
}

class Watcher {
 public:
  static Watcher& Instance() {
    static Watcher* watcher = new Watcher;
    return *watcher;
  }

  HREGNOTIFY Add(std::unique_ptr<Watch> w) {
    std::lock_guard lock(mutex_);
    if (!Start()) return nullptr;
    w->last = Read(*w);
    auto handle = reinterpret_cast<HREGNOTIFY>(++next_);
    watches_[handle] = std::move(w);
    return handle;
  }

  bool Remove(HREGNOTIFY handle) {
    std::lock_guard lock(mutex_);
    return watches_.erase(handle) > 0;
  }

  // Reads every watched value again and tells the windows whose value changed.
  void Check() {
    std::lock_guard lock(mutex_);
    for (auto& [handle, w] : watches_) {
      Value now = Read(*w);
      if (now == w->last) continue;
      const bool holds = Holds(*w, now);
      w->last = now;
      if (holds) PostMessageW(w->hwnd, w->message, w->userData, now.type == REG_DWORD ? now.Dword() : 0);
    }
  }

 private:
  // Watches the state folder of the device in use (a test may switch devices).
  bool Start() {
    if (fd_ < 0) {
      fd_ = inotify_init1(IN_CLOEXEC);
      if (fd_ < 0) return false;
      std::thread([this] { Run(); }).detach();
    }
    const std::filesystem::path folder = zb::device::StateFolder();
    if (folders_.count(folder)) return true;
    if (inotify_add_watch(fd_, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO) < 0) return false;
    folders_.insert(folder);
    return true;
  }

  void Run() {
    std::vector<char> buffer(16 * 1024);
    for (;;) {
      const ssize_t n = read(fd_, buffer.data(), buffer.size());
      if (n <= 0) continue;
      bool registry = false;
      for (ssize_t at = 0; at < n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(buffer.data() + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        if (e->len && std::string(e->name) == "registry.txt") registry = true;
      }
      if (registry) Check();
    }
  }

  std::mutex mutex_;
  int fd_ = -1;
  std::set<std::filesystem::path> folders_;
  uintptr_t next_ = 0;
  std::map<HREGNOTIFY, std::unique_ptr<Watch>> watches_;
};

}  // namespace
}  // namespace zb::shell

using namespace zb::shell;

extern "C" HRESULT RegistryNotifyWindow(HKEY root, LPCWSTR subKey, LPCWSTR valueName, HWND hwnd, UINT message, DWORD userData,
                                        NOTIFICATIONCONDITION* condition, HREGNOTIFY* notify) {
  if (!notify || !IsWindow(hwnd)) return E_INVALIDARG;
  auto w = std::make_unique<Watch>();
  w->root = root;
  w->key = subKey ? subKey : u"";
  w->value = valueName ? valueName : u"";
  w->hwnd = hwnd;
  w->message = message;
  w->userData = userData;
  if (condition) {
    w->hasCondition = true;
    w->condition = *condition;
    if (condition->ctComparisonType >= REG_CT_CONTAINS && condition->ctComparisonType <= REG_CT_ENDS_WITH &&
        condition->TargetValue.psz) {
      w->target = condition->TargetValue.psz;
    }
  }
  *notify = Watcher::Instance().Add(std::move(w));
  return *notify ? S_OK : E_FAIL;
}

extern "C" HRESULT RegistryCloseNotification(HREGNOTIFY notify) {
  return Watcher::Instance().Remove(notify) ? S_OK : E_INVALIDARG;
}

extern "C" HRESULT RegistryGetDWORD(HKEY root, LPCWSTR subKey, LPCWSTR valueName, DWORD* data) {
  if (!data) return E_INVALIDARG;
  HKEY key = nullptr;
  LONG r = RegOpenKeyExW(root, subKey ? subKey : u"", 0, KEY_READ, &key);
  if (r != ERROR_SUCCESS) return HRESULT_FROM_WIN32(r);
  DWORD type = 0, size = sizeof *data;
  r = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) return HRESULT_FROM_WIN32(r);
  return type == REG_DWORD ? S_OK : E_UNEXPECTED;
}
