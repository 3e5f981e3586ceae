// The registry in memory: keys holding subkeys and values in creation order, looked up without
// regard to case. Open handles point at Key objects, so a key keeps its identity across reloads
// of the file and learns when it is deleted.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace zb::registry {

struct Value {
  std::u16string name;  // empty for the key's default value
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

class Key {
 public:
  explicit Key(std::u16string name) : name_(std::move(name)) {}

  const std::u16string& name() const { return name_; }
  bool deleted() const { return deleted_; }
  const std::vector<std::shared_ptr<Key>>& children() const { return children_; }
  const std::vector<Value>& values() const { return values_; }

  std::shared_ptr<Key> Child(std::u16string_view name) const;
  // Appends a new subkey; the caller has checked that none of that name exists.
  std::shared_ptr<Key> AddChild(std::u16string name);
  // Removes the subkey and everything below it; false when there is none.
  bool RemoveChild(std::u16string_view name);

  const Value* FindValue(std::u16string_view name) const;
  // A new value goes last; an existing one keeps its place and the spelling it was created with.
  // False when the value already held exactly this.
  bool SetValue(std::u16string_view name, DWORD type, std::vector<BYTE> data);
  bool DeleteValue(std::u16string_view name);

  // Takes on the content of a freshly loaded copy of this key. Subkeys present in both keep
  // their objects (and so their open handles); subkeys gone from the copy are deleted.
  void Adopt(Key&& loaded);
  // Marks this key and everything below it deleted and lets go of their content.
  void MarkDeleted();

 private:
  std::u16string name_;
  std::vector<std::shared_ptr<Key>> children_;
  std::vector<Value> values_;
  bool deleted_ = false;
};

// The four roots, in the order of the table below.
using Roots = std::array<std::shared_ptr<Key>, 4>;
Roots MakeRoots();

struct RootName {
  std::u16string_view name;   // as written in the file: "HKEY_CURRENT_USER"
  std::u16string_view abbrev;  // as typed by hand: "HKCU"
  LONG handle;                 // the pseudo-handle's 32-bit value
};
inline constexpr std::array<RootName, 4> kRootNames{{
    {u"HKEY_CLASSES_ROOT", u"HKCR", static_cast<LONG>(0x80000000)},
    {u"HKEY_CURRENT_USER", u"HKCU", static_cast<LONG>(0x80000001)},
    {u"HKEY_LOCAL_MACHINE", u"HKLM", static_cast<LONG>(0x80000002)},
    {u"HKEY_USERS", u"HKU", static_cast<LONG>(0x80000003)},
}};

// Index into kRootNames of a root written either way, or -1.
int FindRoot(std::u16string_view name);
// Index of a root pseudo-handle, or -1.
int RootIndex(HKEY key);

// A key name the registry can hold and write out: 1 to 255 characters, no "\", no control
// characters and no unpaired surrogates.
bool IsValidKeyName(std::u16string_view name);

// Splits "A\B\C" into its names. A single trailing "\" is allowed; an empty path gives no
// names. False when a name is empty or invalid.
bool SplitKeyPath(std::u16string_view path, std::vector<std::u16string_view>& names);

}  // namespace zb::registry
