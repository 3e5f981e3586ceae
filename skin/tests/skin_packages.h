// Skin packages for tests: ZIP files written with libzip into the test's device, entries given
// as (name, bytes) pairs.
#pragma once
#include <zip.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "skin_test_support.h"

namespace zb::testing {

using Entries = std::vector<std::pair<std::string, std::string>>;

// Writes "\<name>" holding the entries and returns its device path.
inline std::u16string WriteSkinPackage(const TestDevice& device, const std::string& name, const Entries& entries) {
  const std::string host = device.Host(name).string();
  std::remove(host.c_str());
  int error = 0;
  zip_t* z = zip_open(host.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  EXPECT_NE(z, nullptr);
  if (!z) return {};
  for (const auto& [entry, bytes] : entries) {
    // The entries outlive zip_close, which reads them.
    zip_source_t* src = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
    zip_file_add(z, entry.c_str(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
  }
  EXPECT_EQ(zip_close(z), 0);
  return u"\\" + std::u16string(name.begin(), name.end());
}

}  // namespace zb::testing
