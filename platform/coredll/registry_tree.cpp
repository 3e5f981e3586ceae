// Keys and values in memory. Lookups walk the lists: keys hold a handful of entries, and the
// lists are what keeps creation order.
#include "coredll/registry_tree.h"

#include <algorithm>
#include <unordered_map>

#include "device/text.h"

namespace zb::registry {
namespace {

constexpr size_t kMaxKeyName = 255;

auto ValueNamed(std::u16string_view name) {
  return [name](const Value& value) { return EqualNoCase(value.name, name); };
}

std::u16string Folded(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) c = ToUpper(c);
  return folded;
}

}  // namespace

std::shared_ptr<Key> Key::Child(std::u16string_view name) const {
  for (const auto& child : children_) {
    if (EqualNoCase(child->name_, name)) return child;
  }
  return nullptr;
}

std::shared_ptr<Key> Key::AddChild(std::u16string name) {
  children_.push_back(std::make_shared<Key>(std::move(name)));
  return children_.back();
}

bool Key::RemoveChild(std::u16string_view name) {
  auto it = std::find_if(children_.begin(), children_.end(),
                         [&](const auto& child) { return EqualNoCase(child->name_, name); });
  if (it == children_.end()) return false;
  (*it)->MarkDeleted();
  children_.erase(it);
  return true;
}

const Value* Key::FindValue(std::u16string_view name) const {
  auto it = std::find_if(values_.begin(), values_.end(), ValueNamed(name));
  return it == values_.end() ? nullptr : &*it;
}

bool Key::SetValue(std::u16string_view name, DWORD type, std::vector<BYTE> data) {
  auto it = std::find_if(values_.begin(), values_.end(), ValueNamed(name));
  if (it != values_.end()) {
    if (it->type == type && it->data == data) return false;
    it->type = type;
    it->data = std::move(data);
    return true;
  }
  values_.push_back(Value{std::u16string(name), type, std::move(data)});
  return true;
}

bool Key::DeleteValue(std::u16string_view name) {
  auto it = std::find_if(values_.begin(), values_.end(), ValueNamed(name));
  if (it == values_.end()) return false;
  values_.erase(it);
  return true;
}

void Key::Adopt(Key&& loaded) {
  name_ = std::move(loaded.name_);
  values_ = std::move(loaded.values_);
  std::unordered_map<std::u16string, std::shared_ptr<Key>> mine;
  for (auto& child : children_) mine.emplace(Folded(child->name_), std::move(child));
  children_.clear();
  for (auto& fresh : loaded.children_) {
    auto it = mine.find(Folded(fresh->name_));
    if (it == mine.end()) {
      children_.push_back(std::move(fresh));
      continue;
    }
    it->second->Adopt(std::move(*fresh));
    children_.push_back(std::move(it->second));
    mine.erase(it);
  }
  loaded.children_.clear();
  for (auto& [name, gone] : mine) gone->MarkDeleted();
}

void Key::MarkDeleted() {
  deleted_ = true;
  for (auto& child : children_) child->MarkDeleted();
  children_.clear();
  values_.clear();
}

Roots MakeRoots() {
  Roots roots;
  for (size_t i = 0; i < roots.size(); ++i) roots[i] = std::make_shared<Key>(std::u16string(kRootNames[i].name));
  return roots;
}

int FindRoot(std::u16string_view name) {
  for (size_t i = 0; i < kRootNames.size(); ++i) {
    if (EqualNoCase(name, kRootNames[i].name) || EqualNoCase(name, kRootNames[i].abbrev)) return static_cast<int>(i);
  }
  return -1;
}

int RootIndex(HKEY key) {
  auto value = reinterpret_cast<ULONG_PTR>(key);
  for (size_t i = 0; i < kRootNames.size(); ++i) {
    if (value == static_cast<ULONG_PTR>(kRootNames[i].handle)) return static_cast<int>(i);
  }
  return -1;
}

bool IsValidKeyName(std::u16string_view name) {
  if (name.empty() || name.size() > kMaxKeyName) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char16_t c = name[i];
    if (c == u'\\' || c < 0x20 || c == 0x7F) return false;
    if (IsHighSurrogate(c) && i + 1 < name.size() && IsLowSurrogate(name[i + 1])) {
      ++i;  // a whole surrogate pair
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      return false;  // a lone half has no UTF-8 form for the file's section line
    }
  }
  return true;
}

bool SplitKeyPath(std::u16string_view path, std::vector<std::u16string_view>& names) {
  names.clear();
  if (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
  if (path.empty()) return true;
  size_t start = 0;
  while (true) {
    size_t end = path.find(u'\\', start);
    std::u16string_view name = path.substr(start, end == path.npos ? path.npos : end - start);
    if (!IsValidKeyName(name)) return false;
    names.push_back(name);
    if (end == path.npos) return true;
    start = end + 1;
  }
}

}  // namespace zb::registry
