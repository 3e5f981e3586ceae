// zbrc: the project's resource compiler. It reads a resource script (.rc) and writes the
// resource table for the binary it belongs to, the C++ source that carries the table into that
// binary, and a dependency file for the build.
//   zbrc [-I dir]... [-D name[=value]]... -o table.res -c table.cpp -s symbol [-d deps.d] script.rc
#include <cstring>
#include <fstream>
#include <iostream>

#include "zbrc/rc_parser.h"
#include "zbrc/res_writer.h"

namespace {

namespace fs = std::filesystem;

// The usage on `to`; asked for (--help) it goes to standard output and is no failure.
int Usage(std::ostream& to = std::cerr, int status = 2) {
  to << "usage: zbrc [-I dir]... [-D name[=value]]... -o table.res -c table.cpp -s symbol [-d deps.d] script.rc\n";
  return status;
}

bool WriteFile(const fs::path& file, const void* data, size_t size) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  zb::rc::Options options;
  fs::path script, blobFile, sourceFile, depFile;
  std::string symbol;
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) return Usage(std::cout, 0);
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char* flag) -> std::string {
      if (a.size() > 2) return a.substr(2);
      if (i + 1 >= argc) throw std::runtime_error(std::string("zbrc: ") + flag + " needs a value");
      return argv[++i];
    };
    try {
      if (a.rfind("-I", 0) == 0) {
        options.includeDirs.emplace_back(value("-I"));
      } else if (a.rfind("-D", 0) == 0) {
        std::string d = value("-D");
        size_t eq = d.find('=');
        options.defines.emplace_back(d.substr(0, eq), eq == std::string::npos ? "" : d.substr(eq + 1));
      } else if (a == "-o") {
        blobFile = value("-o");
      } else if (a == "-c") {
        sourceFile = value("-c");
      } else if (a == "-s") {
        symbol = value("-s");
      } else if (a == "-d") {
        depFile = value("-d");
      } else if (!a.empty() && a[0] != '-' && script.empty()) {
        script = a;
      } else {
        return Usage();
      }
    } catch (const std::exception& e) {
      std::cerr << e.what() << "\n";
      return Usage();
    }
  }
  if (script.empty() || blobFile.empty() || sourceFile.empty() || symbol.empty()) return Usage();

  try {
    zb::rc::Source source(options);
    std::vector<zb::rc::Token> tokens = source.Read(script);
    zb::rc::Parser parser(std::move(tokens), script.parent_path(), options.includeDirs);
    std::vector<uint8_t> blob = zb::rc::BuildBlob(parser.Parse());
    std::string cpp = zb::rc::RegistrationSource(blobFile, blob, symbol, script.filename().string());
    if (!WriteFile(blobFile, blob.data(), blob.size()) || !WriteFile(sourceFile, cpp.data(), cpp.size())) {
      std::cerr << "zbrc: cannot write the outputs\n";
      return 1;
    }
    if (!depFile.empty()) {
      std::set<fs::path> inputs = source.files();
      inputs.insert(parser.dataFiles().begin(), parser.dataFiles().end());
      std::string deps = zb::rc::DependencyFile(blobFile.string(), inputs);
      if (!WriteFile(depFile, deps.data(), deps.size())) {
        std::cerr << "zbrc: cannot write " << depFile << "\n";
        return 1;
      }
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
