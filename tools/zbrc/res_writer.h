// The compiler's outputs: the resource table (the blob the layer reads), the C++ source that
// places it in the binary's ".zbrsrc" section and registers it when the binary loads, and the
// build's dependency file.
#pragma once
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "zbrc/rc_parser.h"

namespace zb::rc {

std::vector<uint8_t> BuildBlob(std::vector<Resource> resources);
std::string RegistrationSource(const std::filesystem::path& blobFile, const std::vector<uint8_t>& blob,
                               const std::string& symbol, const std::string& script);
std::string DependencyFile(const std::string& target, const std::set<std::filesystem::path>& inputs);

}  // namespace zb::rc
