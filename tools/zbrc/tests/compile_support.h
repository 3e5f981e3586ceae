// Compiling scripts for the compiler's tests: a script and its files in a fresh folder, the
// resources it makes, and the bytes tests compare them with.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "zbrc/rc_parser.h"
#include "zbrc/res_writer.h"

namespace zb::rc::testing {

namespace fs = std::filesystem;

class ScriptFolder {
 public:
  ScriptFolder() {
    std::string pattern = (fs::temp_directory_path() / "zbrc-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
  }
  ~ScriptFolder() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  const fs::path& dir() const { return dir_; }
  fs::path Write(const std::string& name, const std::string& bytes) const {
    fs::create_directories((dir_ / name).parent_path());
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return dir_ / name;
  }

 private:
  fs::path dir_;
};

// The resources of a script, or the compiler's error message in *error.
inline std::vector<Resource> Compile(const ScriptFolder& folder, const std::string& script, std::string* error = nullptr,
                                     Options options = {}) {
  fs::path file = folder.Write("script.rc", script);
  try {
    Source source(options);
    Parser parser(source.Read(file), folder.dir(), options.includeDirs);
    return parser.Parse();
  } catch (const std::exception& e) {
    if (error) {
      *error = e.what();
    } else {
      ADD_FAILURE() << e.what();
    }
    return {};
  }
}

inline const Resource* Find(const std::vector<Resource>& all, Id type, Id name) {
  for (const Resource& r : all)
    if (r.type == type && r.name == name) return &r;
  return nullptr;
}

inline Id Named(const std::u16string& name) { return Id{true, 0, name}; }

// Builds expected bytes with the same little-endian helpers the tests read naturally.
struct Expect : Bytes {
  Expect& W(uint32_t v) {
    U16(v);
    return *this;
  }
  Expect& D(uint32_t v) {
    U32(v);
    return *this;
  }
  Expect& S(std::u16string_view s) {
    Text(s);
    return *this;
  }
  Expect& A4() {
    Align(4);
    return *this;
  }
};

}  // namespace zb::rc::testing
