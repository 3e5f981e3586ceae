// Handles of the multimedia objects (wave devices, ACM drivers and streams): values that are
// never reused, so a stale handle fails with MMSYSERR_INVALHANDLE instead of reaching a newer
// object, and objects that stay alive while a call still works on them.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace zb::mm {

template <class T, class Handle>
class HandleTable {
 public:
  Handle Add(std::shared_ptr<T> object) {
    std::lock_guard guard(lock_);
    uintptr_t value = base_ + (++next_ << 4);
    objects_[value] = std::move(object);
    return reinterpret_cast<Handle>(value);
  }
  std::shared_ptr<T> Find(Handle handle) {
    std::lock_guard guard(lock_);
    auto it = objects_.find(reinterpret_cast<uintptr_t>(handle));
    return it == objects_.end() ? nullptr : it->second;
  }
  std::shared_ptr<T> Remove(Handle handle) {
    std::lock_guard guard(lock_);
    auto it = objects_.find(reinterpret_cast<uintptr_t>(handle));
    if (it == objects_.end()) return nullptr;
    std::shared_ptr<T> object = std::move(it->second);
    objects_.erase(it);
    return object;
  }
  std::vector<std::shared_ptr<T>> All() {
    std::lock_guard guard(lock_);
    std::vector<std::shared_ptr<T>> all;
    for (auto& [value, object] : objects_) all.push_back(object);
    return all;
  }

  // Each kind of handle starts in a range of its own, so one kind never passes for another.
  explicit HandleTable(uintptr_t base) : base_(base) {}

 private:
  std::mutex lock_;
  std::map<uintptr_t, std::shared_ptr<T>> objects_;
  uintptr_t base_;
  uintptr_t next_ = 0;
};

}  // namespace zb::mm
