// zbreg: looks at and changes the registry of a device folder by hand. It goes through the same
// registry calls as the player, so it sees and takes the same locks, and prints in the same text
// form as the registry file.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>
#include <windows.h>

#include "coredll/registry_text.h"
#include "device/device.h"
#include "device/text.h"

namespace {

using zb::registry::Key;
using zb::registry::Value;

constexpr char kUsage[] =
    "usage: zbreg [--device DIR] COMMAND ...\n"
    "\n"
    "  dump [KEY]                  print the registry, or the key and all below it\n"
    "  get KEY NAME                print one value's data as dump writes it\n"
    "  set KEY NAME TYPE VALUE...  set a value, creating the key when needed\n"
    "  delete KEY [NAME]           delete a value, or the key with all below it\n"
    "\n"
    "KEY starts with its root: HKCU\\Software\\... or HKEY_CURRENT_USER\\Software\\...\n"
    "(roots HKCR, HKCU, HKLM, HKU). NAME \"\" is the key's default value.\n"
    "TYPE and VALUE (the platform's names REG_SZ, REG_DWORD ... as well):\n"
    "  sz, expand_sz  one string\n"
    "  dword          one number, decimal or 0x hex\n"
    "  binary         one string of hex bytes: 01,02,ff or 0102ff (empty for none)\n"
    "  multi_sz       each string as its own argument (none for an empty list)\n"
    "\n"
    "The device folder is $ZONBREL_DEVICE unless --device is given.\n"
    "Exit status 0 on success, 1 on failure.\n";

// Thrown for anything the user should hear about; main prints it and exits with 1.
struct Failure {
  std::string message;
};

std::string ErrorText(LONG error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return "not found";
    case ERROR_INVALID_PARAMETER: return "not a valid name";
    case ERROR_KEY_DELETED: return "the key was deleted meanwhile";
    case ERROR_MORE_DATA: return "changed by another process while being read; try again";
    case ERROR_REGISTRY_IO_FAILED: return "the registry file cannot be read or written (see the debug log)";
    default: return "registry error " + std::to_string(error);
  }
}

void Check(LONG error, const std::string& what) {
  if (error != ERROR_SUCCESS) throw Failure{what + ": " + ErrorText(error)};
}

// An open key, closed when it goes out of scope.
class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }
  HKEY* out() { return &key_; }

 private:
  HKEY key_ = nullptr;
};

// A KEY argument split into its root and the path below it.
struct KeyPath {
  HKEY root;
  std::u16string rootName;  // as the file writes it
  std::u16string below;     // without a leading "\"; empty for the root itself
  std::string typed;        // for messages
};

HKEY RootHandle(int root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(zb::registry::kRootNames[root].handle));
}

KeyPath ParseKey(const std::string& typed) {
  std::u16string text = zb::FromUtf8(typed);
  size_t slash = text.find(u'\\');
  int root = zb::registry::FindRoot(std::u16string_view(text).substr(0, slash));
  if (root < 0) throw Failure{typed + ": a key starts with HKCR, HKCU, HKLM or HKU (or their long names)"};
  const auto& names = zb::registry::kRootNames[root];
  return KeyPath{RootHandle(root), std::u16string(names.name),
                 slash == text.npos ? u"" : text.substr(slash + 1), typed};
}

// The spelling the registry keeps for the subkey `name` of `parent`.
std::u16string StoredName(HKEY parent, std::u16string_view name) {
  std::vector<WCHAR> buffer(256);
  for (DWORD i = 0;; ++i) {
    DWORD count = static_cast<DWORD>(buffer.size());
    if (RegEnumKeyExW(parent, i, buffer.data(), &count, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      return std::u16string(name);
    }
    if (zb::EqualNoCase(std::u16string_view(buffer.data(), count), name)) return std::u16string(buffer.data(), count);
  }
}

// Copies the key and everything below it out of the registry into `into`.
void Snapshot(HKEY key, Key& into, const std::string& where) {
  DWORD subkeys = 0, maxKey = 0, values = 0, maxName = 0, maxData = 0;
  Check(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &maxKey, nullptr, &values, &maxName, &maxData,
                         nullptr, nullptr),
        where);
  std::vector<WCHAR> name(std::max(maxName, maxKey) + 1);
  std::vector<BYTE> data(maxData);
  for (DWORD i = 0; i < values; ++i) {
    DWORD nameCount = static_cast<DWORD>(name.size()), type = 0, size = maxData;
    LONG error = RegEnumValueW(key, i, name.data(), &nameCount, nullptr, &type, data.data(), &size);
    if (error == ERROR_NO_MORE_ITEMS) break;
    Check(error, where);
    into.SetValue(std::u16string_view(name.data(), nameCount), type, std::vector<BYTE>(data.begin(), data.begin() + size));
  }
  for (DWORD i = 0; i < subkeys; ++i) {
    DWORD nameCount = static_cast<DWORD>(name.size());
    LONG error = RegEnumKeyExW(key, i, name.data(), &nameCount, nullptr, nullptr, nullptr, nullptr);
    if (error == ERROR_NO_MORE_ITEMS) break;
    Check(error, where);
    std::u16string childName(name.data(), nameCount);
    OpenKey child;
    Check(RegOpenKeyExW(key, childName.c_str(), 0, KEY_READ, child.out()), where);
    Snapshot(child.get(), *into.AddChild(childName), where);
  }
}

// Opens the key, one step at a time, and returns its full path as the registry spells it.
std::u16string Open(const KeyPath& path, OpenKey& key) {
  std::vector<std::u16string_view> names;
  if (!zb::registry::SplitKeyPath(path.below, names)) Check(ERROR_INVALID_PARAMETER, path.typed);
  std::u16string full = path.rootName;
  OpenKey step;
  Check(RegOpenKeyExW(path.root, nullptr, 0, KEY_READ, step.out()), path.typed);
  for (std::u16string_view name : names) {
    full += u'\\';
    full += StoredName(step.get(), name);
    OpenKey next;
    Check(RegOpenKeyExW(step.get(), std::u16string(name).c_str(), 0, KEY_READ, next.out()), path.typed);
    std::swap(*step.out(), *next.out());
  }
  std::swap(*key.out(), *step.out());
  return full;
}

int Dump(const std::vector<std::string>& args) {
  std::string out;
  if (args.empty()) {
    zb::registry::Roots roots = zb::registry::MakeRoots();
    for (size_t i = 0; i < roots.size(); ++i) {
      Snapshot(RootHandle(static_cast<int>(i)), *roots[i], zb::ToUtf8(roots[i]->name()));
    }
    out = zb::registry::WriteRegistryText(roots);
  } else {
    KeyPath path = ParseKey(args[0]);
    OpenKey key;
    std::u16string full = Open(path, key);
    Key copy(u"");
    Snapshot(key.get(), copy, path.typed);
    zb::registry::WriteKeyText(out, copy, full);
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

int Get(const std::vector<std::string>& args) {
  KeyPath path = ParseKey(args[0]);
  OpenKey key;
  Open(path, key);
  std::u16string name = zb::FromUtf8(args[1]);
  std::string what = path.typed + " \"" + args[1] + "\"";
  Value value;
  DWORD size = 0;
  LONG error;
  do {  // another process may grow the value between the two calls
    Check(RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size), what);
    value.data.resize(size);
    error = RegQueryValueExW(key.get(), name.c_str(), nullptr, &value.type, value.data.data(), &size);
  } while (error == ERROR_MORE_DATA);
  Check(error, what);
  value.data.resize(size);
  std::printf("%s\n", zb::registry::ValueDataText(value).c_str());
  return 0;
}

void AppendUnits(std::vector<BYTE>& data, const std::u16string& text) {
  for (char16_t c : text) {
    data.push_back(static_cast<BYTE>(c & 0xFF));
    data.push_back(static_cast<BYTE>(c >> 8));
  }
}

std::vector<BYTE> StringData(const std::vector<std::string>& values) {
  std::vector<BYTE> data;
  AppendUnits(data, zb::FromUtf8(values[0]) + u'\0');
  return data;
}

std::vector<BYTE> DwordData(const std::vector<std::string>& values) {
  std::string_view text = values[0];
  int base = text.substr(0, 2) == "0x" || text.substr(0, 2) == "0X" ? 16 : 10;
  if (base == 16) text.remove_prefix(2);
  uint32_t number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    throw Failure{"\"" + values[0] + "\" is not a dword: give 0 to 4294967295, or 0x0 to 0xffffffff"};
  }
  return {BYTE(number), BYTE(number >> 8), BYTE(number >> 16), BYTE(number >> 24)};
}

std::vector<BYTE> BinaryData(const std::vector<std::string>& values) {
  const Failure bad{"\"" + values[0] + "\" is not hex bytes: give two hex digits a byte, like 01,02,ff"};
  std::vector<BYTE> data;
  int high = -1;  // the first digit of a byte while waiting for the second
  for (char c : values[0]) {
    if (c == ',' || c == ' ' || c == ':') continue;
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) throw bad;
    if (high < 0) {
      high = digit;
    } else {
      data.push_back(static_cast<BYTE>(high << 4 | digit));
      high = -1;
    }
  }
  if (high >= 0) throw bad;
  return data;
}

std::vector<BYTE> MultiStringData(const std::vector<std::string>& values) {
  std::vector<BYTE> data;
  for (const std::string& value : values) {
    if (value.empty()) throw Failure{"a multi_sz cannot hold an empty string: it would end the list there"};
    AppendUnits(data, zb::FromUtf8(value) + u'\0');
  }
  data.insert(data.end(), {0, 0});  // the empty string that ends the list
  return data;
}

struct TypeName {
  const char* name;
  const char* platformName;  // the platform's own name, taken as well
  DWORD type;
  bool many;  // takes any number of VALUE arguments instead of exactly one
  std::vector<BYTE> (*encode)(const std::vector<std::string>& values);
};

constexpr TypeName kTypes[] = {
    {"sz", "REG_SZ", REG_SZ, false, StringData},
    {"expand_sz", "REG_EXPAND_SZ", REG_EXPAND_SZ, false, StringData},
    {"dword", "REG_DWORD", REG_DWORD, false, DwordData},
    {"binary", "REG_BINARY", REG_BINARY, false, BinaryData},
    {"multi_sz", "REG_MULTI_SZ", REG_MULTI_SZ, true, MultiStringData},
};

// Type names are taken in any case: "dword", "DWORD", "REG_DWORD".
bool SameTypeName(const std::string& given, const char* name) {
  return zb::EqualNoCase(zb::FromUtf8(given), zb::FromUtf8(name));
}

int Set(const std::vector<std::string>& args) {
  const TypeName* type = nullptr;
  for (const TypeName& t : kTypes) {
    if (SameTypeName(args[2], t.name) || SameTypeName(args[2], t.platformName)) type = &t;
  }
  if (!type) {
    throw Failure{"\"" + args[2] + "\" is not a type: use sz, expand_sz, dword, binary or multi_sz (or REG_SZ, REG_DWORD ...)"};
  }
  std::vector<std::string> values(args.begin() + 3, args.end());
  if (!type->many && values.size() != 1) throw Failure{std::string(type->name) + " takes exactly one VALUE"};
  std::vector<BYTE> data = type->encode(values);
  KeyPath path = ParseKey(args[0]);
  OpenKey key;
  Check(RegCreateKeyExW(path.root, path.below.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr),
        path.typed);
  std::u16string name = zb::FromUtf8(args[1]);
  Check(RegSetValueExW(key.get(), name.c_str(), 0, type->type, data.data(), static_cast<DWORD>(data.size())),
        path.typed + " \"" + args[1] + "\"");
  return 0;
}

int Delete(const std::vector<std::string>& args) {
  KeyPath path = ParseKey(args[0]);
  if (args.size() == 2) {
    OpenKey key;
    Open(path, key);
    std::u16string name = zb::FromUtf8(args[1]);
    Check(RegDeleteValueW(key.get(), name.c_str()), path.typed + " \"" + args[1] + "\"");
    return 0;
  }
  if (path.below.empty()) throw Failure{path.typed + ": a root cannot be deleted"};
  Check(RegDeleteKeyW(path.root, path.below.c_str()), path.typed);
  return 0;
}

struct Command {
  const char* name;
  size_t minArgs;
  size_t maxArgs;
  int (*run)(const std::vector<std::string>& args);
};

constexpr Command kCommands[] = {
    {"dump", 0, 1, Dump},
    {"get", 2, 2, Get},
    {"set", 3, SIZE_MAX, Set},
    {"delete", 1, 2, Delete},
};

int Usage(FILE* to, int status) {
  std::fputs(kUsage, to);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage(stderr, 1);
  if (args[0] == "--help" || args[0] == "-h") return Usage(stdout, 0);
  try {
    if (args[0] == "--device") {
      if (args.size() < 2) throw Failure{"--device needs a folder"};
      std::error_code ec;
      if (!std::filesystem::is_directory(args[1], ec)) throw Failure{args[1] + ": no such device folder"};
      zb::device::UseRoot(args[1]);
      args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) return Usage(stderr, 1);
    for (const Command& command : kCommands) {
      if (args[0] != command.name) continue;
      std::vector<std::string> rest(args.begin() + 1, args.end());
      if (rest.size() < command.minArgs || rest.size() > command.maxArgs) {
        throw Failure{std::string("wrong number of arguments for ") + command.name + " (see zbreg --help)"};
      }
      return command.run(rest);
    }
    throw Failure{"unknown command \"" + args[0] + "\" (see zbreg --help)"};
  } catch (const Failure& failure) {
    std::fprintf(stderr, "zbreg: %s\n", failure.message.c_str());
    return 1;
  }
}
