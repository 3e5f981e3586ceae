// Reads and writes the profile file. Keys are looked up in tables, so reading, checking and
// writing the default file all walk the same lists and cannot drift apart.
#include "device/profile_file.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>

#include "device/names.h"
#include "device/paths.h"
#include "device/text.h"

namespace zb::device {
namespace {

struct NumberKey {
  std::string_view section;
  std::string_view key;
  uint32_t Profile::*field;
  uint32_t min;
  uint32_t max;
};

constexpr uint32_t kMax = 0xFFFFFFFFu;

constexpr NumberKey kNumbers[] = {
    {"os", "major", &Profile::osMajor, 1, 255},
    {"os", "minor", &Profile::osMinor, 0, 255},
    {"os", "build", &Profile::osBuild, 0, 65535},
    {"screen", "width", &Profile::screenWidth, 16, 4096},
    {"screen", "height", &Profile::screenHeight, 16, 4096},
    {"screen", "dpi", &Profile::dpi, 48, 960},
    {"screen", "depth", &Profile::colorDepth, 1, 32},
    {"memory", "total physical", &Profile::totalPhysical, 1, kMax},
    {"memory", "available physical", &Profile::availablePhysical, 0, kMax},
    {"memory", "total virtual", &Profile::totalVirtual, 1, kMax},
    {"memory", "available virtual", &Profile::availableVirtual, 0, kMax},
    {"store", "size", &Profile::storeSize, 1, kMax},
    {"store", "free", &Profile::freeStore, 0, kMax},
    {"system", "code page", &Profile::ansiCodePage, 1, 65535},
    {"power", "ac line", &Profile::acLineStatus, 0, 255},
    {"power", "battery flag", &Profile::batteryFlag, 0, 255},
    {"power", "battery percent", &Profile::batteryPercent, 0, 255},
};

// A part can never be larger than its whole; such a profile takes the whole.
struct PartOfWhole {
  uint32_t Profile::*part;
  uint32_t Profile::*whole;
  std::string_view what;
};

constexpr PartOfWhole kParts[] = {
    {&Profile::availablePhysical, &Profile::totalPhysical, "available physical memory"},
    {&Profile::availableVirtual, &Profile::totalVirtual, "available virtual memory"},
    {&Profile::freeStore, &Profile::storeSize, "free store"},
};

constexpr uint32_t kDepths[] = {1, 2, 4, 8, 16, 24, 32};

// Text values; `set` returns an empty string when it took the value, else why not.
struct TextKey {
  std::string_view section;
  std::string_view key;
  std::string (*get)(const Profile&);
  std::string (*set)(Profile&, std::string_view);
  bool commentedOut;  // computed defaults are shown, not fixed
};

std::filesystem::path ExpandHome(std::string_view value) {
  if (value == "~" || value.starts_with("~/")) {
    const char* home = std::getenv("HOME");
    if (home && *home) return std::filesystem::path(home) / std::string(value.substr(std::min<size_t>(value.size(), 2)));
  }
  return std::string(value);
}

std::string JoinRates(const std::vector<uint32_t>& rates) {
  std::string out;
  for (uint32_t rate : rates) out += (out.empty() ? "" : ", ") + std::to_string(rate);
  return out;
}

// "8000, 11025, 44100": each rate once, from 1000 to 192000 samples per second.
std::string SetRates(Profile& p, std::string_view v) {
  std::vector<uint32_t> rates;
  while (!v.empty()) {
    size_t end = v.find_first_of(", ");
    std::string_view item = v.substr(0, end);
    v.remove_prefix(end == std::string_view::npos ? v.size() : end + 1);
    if (item.empty()) continue;
    uint32_t n = 0;
    auto [last, ec] = std::from_chars(item.data(), item.data() + item.size(), n);
    if (ec != std::errc() || last != item.data() + item.size() || n < 1000 || n > 192000)
      return "\"rates\" needs sample rates from 1000 to 192000, not \"" + std::string(item) + "\"";
    if (std::find(rates.begin(), rates.end(), n) == rates.end()) rates.push_back(n);
  }
  if (rates.empty()) return "\"rates\" needs at least one sample rate";
  p.audioRates = rates;
  return {};
}

const TextKey kTexts[] = {
    {"os", "platform", [](const Profile& p) { return ToUtf8(p.platformType); },
     [](Profile& p, std::string_view v) -> std::string {
       for (std::u16string_view choice : {u"PocketPC", u"SmartPhone"}) {
         if (EqualNoCase(FromUtf8(v), choice)) {
           p.platformType = choice;
           return {};
         }
       }
       return "platform must be PocketPC or SmartPhone";
     },
     false},
    {"os", "oem", [](const Profile& p) { return ToUtf8(p.oemInfo); },
     [](Profile& p, std::string_view v) -> std::string {
       p.oemInfo = FromUtf8(v);
       return {};
     },
     false},
    {"program", "folder", [](const Profile& p) { return ToUtf8(p.programFolder); },
     [](Profile& p, std::string_view v) -> std::string {
       std::u16string path = FromUtf8(v);
       if (path.empty() || (path[0] != u'\\' && path[0] != u'/')) return "the program folder must be a device path such as \\Program Files\\Zonbrel";
       std::u16string plain = NormalizePath(path);
       if (plain == u"\\") return "the program folder cannot be the device root";
       for (size_t start = 1; start <= plain.size();) {
         size_t end = plain.find(u'\\', start);
         if (end == std::u16string::npos) end = plain.size();
         if (!IsValidName(std::u16string_view(plain).substr(start, end - start))) return "the program folder holds a name the device does not allow";
         start = end + 1;
       }
       if (EqualNoCase(plain.substr(0, std::min<size_t>(plain.size(), 9)), u"\\.zonbrel") &&
           (plain.size() == 9 || plain[9] == u'\\')) {
         return "the program folder cannot be in the state folder";
       }
       p.programFolder = plain;
       return {};
     },
     false},
    {"program", "host", [](const Profile& p) { return p.programHost.string(); },
     [](Profile& p, std::string_view v) -> std::string {
       std::filesystem::path host = ExpandHome(v);
       if (!host.is_absolute()) return "the program's host folder must be an absolute path";
       p.programHost = host.lexically_normal();
       return {};
     },
     true},
    {"audio", "rates", [](const Profile& p) { return JoinRates(p.audioRates); }, SetRates, false},
    {"network", "proxy", [](const Profile& p) { return ToUtf8(p.proxy); },
     [](Profile& p, std::string_view v) -> std::string {
       if (v.find_first_of(" \t/") != std::string_view::npos) return "the proxy must be \"host\" or \"host:port\"";
       p.proxy = FromUtf8(v);
       return {};
     },
     false},
};

constexpr std::string_view kCards = "storage cards";
constexpr std::string_view kLibraries = "libraries";
constexpr std::string_view kSections[] = {"os", "screen", "memory", "store", "system", "power", "program", "audio", "network"};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

bool Same(std::string_view a, std::string_view b) { return EqualNoCase(FromUtf8(a), FromUtf8(b)); }

std::optional<uint32_t> ParseNumber(std::string_view v) {
  int base = 10;
  if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
    v.remove_prefix(2);
    base = 16;
  }
  uint32_t n = 0;
  auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n, base);
  if (ec != std::errc() || end != v.data() + v.size() || v.empty()) return std::nullopt;
  return n;
}

std::optional<bool> ParsePresence(std::string_view v) {
  for (std::string_view yes : {"present", "yes", "true", "1"}) {
    if (Same(v, yes)) return true;
  }
  for (std::string_view no : {"absent", "no", "false", "0"}) {
    if (Same(v, no)) return false;
  }
  return std::nullopt;
}

// "\Windows\AYGSHELL.DLL" -> "aygshell".
std::u16string LibraryKey(std::u16string_view name) {
  size_t slash = name.find_last_of(u"\\/");
  if (slash != std::u16string_view::npos) name.remove_prefix(slash + 1);
  if (name.size() > 4 && EqualNoCase(name.substr(name.size() - 4), u".dll")) name.remove_suffix(4);
  std::u16string key;
  for (char16_t c : name) key += ToLower(c);
  return key;
}

class Reader {
 public:
  Reader(std::string_view fileName, Profile& profile, std::vector<std::string>& messages)
      : file_(fileName), p_(profile), messages_(messages) {}

  void Line(std::string_view raw, size_t number) {
    line_ = number;
    std::string_view s = Trim(raw);
    if (s.empty() || s.front() == '#' || s.front() == ';') return;
    if (s.front() == '[') {
      Section(s);
      return;
    }
    size_t eq = s.find('=');
    if (eq == std::string_view::npos) {
      Report("not a \"key = value\" line");
      return;
    }
    std::string_view key = Trim(s.substr(0, eq));
    std::string_view value = Trim(s.substr(eq + 1));
    if (key.empty()) {
      Report("a line without a key");
    } else if (section_ == Unknown) {
      // reported once, at the section's header
    } else if (section_ == None) {
      Report("\"" + std::string(key) + "\" comes before any [section]");
    } else if (section_ == Cards) {
      Card(key, value);
    } else if (section_ == Libraries) {
      Library(key, value);
    } else {
      Setting(key, value);
    }
  }

  void Finish() {
    for (const PartOfWhole& pw : kParts) {
      if (p_.*pw.part > p_.*pw.whole) {
        messages_.push_back(file_ + ": " + std::string(pw.what) + " is larger than the total; taken as the total");
        p_.*pw.part = p_.*pw.whole;
      }
    }
  }

 private:
  enum Kind { None, Known, Cards, Libraries, Unknown };

  void Report(const std::string& why) { messages_.push_back(file_ + ":" + std::to_string(line_) + ": " + why); }

  void Section(std::string_view s) {
    if (s.back() != ']') {
      Report("a section header must end with \"]\"");
      section_ = Unknown;
      return;
    }
    std::string_view name = Trim(s.substr(1, s.size() - 2));
    sectionName_ = std::string(name);
    if (Same(name, kCards)) {
      section_ = Cards;
      if (!cardsGiven_) p_.storageCards.clear();  // the section lists every card there is
      cardsGiven_ = true;
      return;
    }
    if (Same(name, kLibraries)) {
      section_ = Libraries;
      return;
    }
    for (std::string_view known : kSections) {
      if (Same(name, known)) {
        section_ = Known;
        sectionName_ = std::string(known);
        return;
      }
    }
    Report("unknown section [" + std::string(name) + "]; its lines are ignored");
    section_ = Unknown;
  }

  void Setting(std::string_view key, std::string_view value) {
    for (const NumberKey& k : kNumbers) {
      if (k.section != sectionName_ || !Same(key, k.key)) continue;
      std::optional<uint32_t> n = ParseNumber(value);
      if (!n || *n < k.min || *n > k.max) {
        Report("\"" + std::string(k.key) + "\" needs a number from " + std::to_string(k.min) + " to " +
               std::to_string(k.max) + ", not \"" + std::string(value) + "\"");
      } else if (k.field == &Profile::colorDepth && std::find(std::begin(kDepths), std::end(kDepths), *n) == std::end(kDepths)) {
        Report("\"depth\" must be 1, 2, 4, 8, 16, 24 or 32 bits, not " + std::string(value));
      } else {
        p_.*k.field = *n;
      }
      return;
    }
    for (const TextKey& k : kTexts) {
      if (k.section != sectionName_ || !Same(key, k.key)) continue;
      if (std::string why = k.set(p_, value); !why.empty()) Report(why);
      return;
    }
    Report("unknown key \"" + std::string(key) + "\" in [" + sectionName_ + "]");
  }

  void Card(std::string_view key, std::string_view value) {
    std::u16string name = FromUtf8(key);
    if (!IsValidName(name) || EqualNoCase(name, u".zonbrel")) {
      Report("\"" + std::string(key) + "\" cannot be a storage card's name");
      return;
    }
    std::filesystem::path host = ExpandHome(value);
    if (!host.is_absolute()) {
      Report("storage card \"" + std::string(key) + "\" needs an absolute host folder");
      return;
    }
    for (const StorageCard& card : p_.storageCards) {
      if (EqualNoCase(card.name, name)) {
        Report("storage card \"" + std::string(key) + "\" is listed twice");
        return;
      }
    }
    p_.storageCards.push_back({name, host.lexically_normal()});
  }

  void Library(std::string_view key, std::string_view value) {
    std::optional<bool> present = ParsePresence(value);
    std::u16string name = LibraryKey(FromUtf8(key));
    if (!present || name.empty()) {
      Report("library \"" + std::string(key) + "\" needs \"present\" or \"absent\", not \"" + std::string(value) + "\"");
      return;
    }
    auto it = std::find(p_.libraries.begin(), p_.libraries.end(), name);
    if (*present && it == p_.libraries.end()) p_.libraries.push_back(name);
    if (!*present && it != p_.libraries.end()) p_.libraries.erase(it);
  }

  std::string file_;
  Profile& p_;
  std::vector<std::string>& messages_;
  size_t line_ = 0;
  Kind section_ = None;
  std::string sectionName_;
  bool cardsGiven_ = false;
};

}  // namespace

bool Profile::HasLibrary(std::u16string_view name) const {
  std::u16string key = LibraryKey(name);
  return std::find(libraries.begin(), libraries.end(), key) != libraries.end();
}

void ReadProfileText(std::string_view text, std::string_view fileName, Profile& profile,
                     std::vector<std::string>& messages) {
  Reader reader(fileName, profile, messages);
  size_t number = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    reader.Line(text.substr(0, end), ++number);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  reader.Finish();
}

std::string ProfileText(const Profile& profile) {
  std::string out =
      "# The device profile: what kind of device this device folder is.\n"
      "# Lines are \"key = value\" under [section] headers; lines starting with # are comments.\n"
      "# A key left out, or one that cannot be read, takes its default (reported in debug.log).\n"
      "# Delete this file to have it written again with every default.\n";
  for (std::string_view section : kSections) {
    out += "\n[" + std::string(section) + "]\n";
    for (const NumberKey& k : kNumbers) {
      if (k.section == section) out += std::string(k.key) + " = " + std::to_string(profile.*k.field) + "\n";
    }
    for (const TextKey& k : kTexts) {
      if (k.section != section) continue;
      if (k.commentedOut) {
        out += "# " + std::string(k.key) + " = " + k.get(profile) + "    (default: where the running program is)\n";
      } else {
        out += std::string(k.key) + " = " + k.get(profile) + "\n";
      }
    }
  }
  out += "\n[" + std::string(kLibraries) + "]\n# The device's system libraries; \"name = absent\" takes one away.\n";
  for (const std::u16string& lib : profile.libraries) out += ToUtf8(lib) + " = present\n";
  out += "\n# Storage cards: \"name = host folder\" lines under [" + std::string(kCards) + "].\n"
         "# Without the section one card, \"Storage Card\", is mounted from the music folder\n"
         "# (XDG_MUSIC_DIR in ~/.config/user-dirs.dirs, else ~/Music) when that folder exists.\n"
         "# With it, exactly the cards it lists exist; an empty section means no card.\n"
         "# A card whose host folder is missing counts as taken out.\n"
         "# [" + std::string(kCards) + "]\n";
  for (const StorageCard& card : profile.storageCards) out += "# " + ToUtf8(card.name) + " = " + card.host.string() + "\n";
  return out;
}

}  // namespace zb::device
