// Golden renderings: the screen, as the layer drew it, compared pixel for pixel with a PNG kept
// beside the tests (looked at by a person when it was made). A run with ZB_UPDATE_GOLDENS=1
// writes the golden instead; every run leaves the screen it saw in the build folder, so a
// difference can be looked at.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "gwes/gdi_host.h"
#include "screen_support.h"

namespace golden {

// `golden` is the PNG kept with the tests; `seen` where this run's screen goes.
inline ::testing::AssertionResult ScreenMatches(const std::filesystem::path& golden, const std::filesystem::path& seen) {
  std::error_code ec;
  std::filesystem::create_directories(seen.parent_path(), ec);
  if (!zb::gdi::SaveScreenPng(seen)) return ::testing::AssertionFailure() << "cannot write " << seen;
  const char* update = std::getenv("ZB_UPDATE_GOLDENS");
  if (update && std::string(update) == "1") {
    std::filesystem::copy_file(seen, golden, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) return ::testing::AssertionFailure() << "cannot write " << golden << ": " << ec.message();
    return ::testing::AssertionSuccess();
  }
  const auto want = zb::testing::ReadPng(golden);
  const auto got = zb::testing::ReadPng(seen);
  if (!want) return ::testing::AssertionFailure() << "no golden " << golden << " (ZB_UPDATE_GOLDENS=1 makes it)";
  if (!got) return ::testing::AssertionFailure() << "cannot read " << seen;
  if (want->width != got->width || want->height != got->height) {
    return ::testing::AssertionFailure() << "the screen is " << got->width << "x" << got->height << ", the golden "
                                         << want->width << "x" << want->height;
  }
  size_t differ = 0, first = 0;
  for (size_t i = 0; i < want->pixels.size(); ++i) {
    if (want->pixels[i] != got->pixels[i] && differ++ == 0) first = i;
  }
  if (differ) {
    return ::testing::AssertionFailure() << differ << " pixels differ from " << golden << ", the first at ("
                                         << first % want->width << ", " << first / want->width << "); the screen is in "
                                         << seen;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace golden
