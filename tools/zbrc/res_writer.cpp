// Writes the blob in the layout of coredll/resource_blob.h (entries sorted by type, name and
// language, so the same script always gives the same bytes) and the files around it.
#include "zbrc/res_writer.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>

#include "coredll/resource_blob.h"

namespace zb::rc {

std::vector<uint8_t> BuildBlob(std::vector<Resource> resources) {
  std::sort(resources.begin(), resources.end(), [](const Resource& a, const Resource& b) {
    if (!(a.type == b.type)) return a.type < b.type;
    if (!(a.name == b.name)) return a.name < b.name;
    return a.language < b.language;
  });
  // Names first (each once), then the data, after the fixed header and entry table.
  Bytes names;
  std::map<std::u16string, uint32_t> nameAt;
  const size_t namesStart = res::kHeaderSize + res::kEntrySize * resources.size();
  auto idOf = [&](const Id& id) -> uint32_t {
    if (!id.named) return id.number;
    auto [it, added] = nameAt.emplace(id.name, 0);
    if (added) {
      it->second = static_cast<uint32_t>(namesStart + names.size());
      names.U16(static_cast<uint32_t>(id.name.size()));
      for (char16_t c : id.name) names.U16(c);
    }
    return res::kNamed | it->second;
  };
  std::vector<uint32_t> types, nameIds;
  for (const Resource& r : resources) {
    types.push_back(idOf(r.type));
    nameIds.push_back(idOf(r.name));
  }
  Bytes blob;
  blob.Raw(res::kMagic, 4);
  blob.U32(res::kVersion);
  blob.U32(0);  // total size, below
  blob.U32(static_cast<uint32_t>(resources.size()));
  const size_t entries = blob.size();
  for (size_t i = 0; i < resources.size(); ++i) {
    for (int k = 0; k < 6; ++k) blob.U32(0);
  }
  blob.Raw(names.data().data(), names.size());
  for (size_t i = 0; i < resources.size(); ++i) {
    blob.Align(8);
    const size_t e = entries + i * res::kEntrySize;
    blob.PutU32At(e, types[i]);
    blob.PutU32At(e + 4, nameIds[i]);
    blob.PutU32At(e + 8, static_cast<uint32_t>(blob.size()));
    blob.PutU32At(e + 12, static_cast<uint32_t>(resources[i].data.size()));
    blob.PutU16At(e + 16, resources[i].language);
    blob.Raw(resources[i].data.data(), resources[i].data.size());
  }
  blob.Align(res::kBlobAlign);
  blob.PutU32At(8, static_cast<uint32_t>(blob.size()));
  return blob.data();
}

std::string RegistrationSource(const std::filesystem::path& blobFile, const std::vector<uint8_t>& blob,
                               const std::string& symbol, const std::string& script) {
  const std::string path = std::filesystem::absolute(blobFile).string();
  if (path.find_first_of("\\\"\n") != std::string::npos)
    throw std::runtime_error("zbrc: the table's path cannot hold quotes, backslashes or line breaks: " + path);
  // The table's bytes reach the object file through .incbin, which a compiler cache does not
  // see; their hash in the source makes a changed table a changed source.
  uint64_t hash = 0xcbf29ce484222325ull;
  for (uint8_t b : blob) hash = (hash ^ b) * 0x100000001b3ull;
  char hex[17];
  std::snprintf(hex, sizeof(hex), "%016llx", static_cast<unsigned long long>(hash));
  return "// The resources of " + script + ", compiled by zbrc: the table sits in this binary's\n"
         "// \".zbrsrc\" section and is registered with the layer while the binary is loaded.\n"
         "// Table hash " + std::string(hex) + ".\n"
         "extern \"C\" void ZbRegisterResources(const void* table);\n"
         "extern \"C\" void ZbUnregisterResources(const void* table);\n"
         "\n"
         "__asm__(\".pushsection .zbrsrc,\\\"a\\\",@progbits\\n\"\n"
         "        \".balign 16\\n\"\n"
         "        \".globl " + symbol + "\\n\"\n"
         "        \".hidden " + symbol + "\\n\"\n"
         "        \"" + symbol + ":\\n\"\n"
         "        \".incbin \\\"" + path + "\\\"\\n\"\n"
         "        \".balign 16\\n\"\n"
         "        \".popsection\\n\");\n"
         "\n"
         "extern \"C\" __attribute__((visibility(\"hidden\"))) const unsigned char " + symbol + "[];\n"
         "\n"
         "namespace {\n"
         "struct Registration {\n"
         "  Registration() { ZbRegisterResources(" + symbol + "); }\n"
         "  ~Registration() { ZbUnregisterResources(" + symbol + "); }\n"
         "} registration;\n"
         "}  // namespace\n";
}

std::string DependencyFile(const std::string& target, const std::set<std::filesystem::path>& inputs) {
  auto escape = [](const std::string& s) {
    std::string out;
    for (char c : s) {
      if (c == ' ' || c == '#' || c == '$') out += c == '$' ? '$' : '\\';
      out += c;
    }
    return out;
  };
  std::string out = escape(target) + ":";
  for (const auto& f : inputs) out += " \\\n  " + escape(f.string());
  return out + "\n";
}

}  // namespace zb::rc
