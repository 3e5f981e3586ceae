// zbdev screenshot run as a real process on the test's device: it writes what the device's
// programs drew, in any of the screen's depths, and refuses clearly when there is no screen to
// read or nowhere to write, leaving no file behind.
#include <gtest/gtest.h>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gwes/gdi_host.h"
#include "testing/test_device.h"

namespace zb::testing {
namespace {

struct Outcome {
  int status = -1;
  std::string err;
};

// zbdev with the test's environment (ZONBREL_DEVICE names the test's device); stderr captured.
Outcome Zbdev(std::vector<std::string> args) {
  FILE* err = std::tmpfile();
  std::vector<char*> argv{const_cast<char*>(ZBDEV_PATH)};
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fileno(err), 2);
  pid_t pid = -1;
  Outcome out;
  if (posix_spawn(&pid, ZBDEV_PATH, &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  std::rewind(err);
  char buffer[512];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, err)) > 0;) out.err.append(buffer, n);
  std::fclose(err);
  return out;
}

std::vector<uint8_t> ReadRgb(const std::filesystem::path& path, int& width, int& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  return rgb;
}

void Fill(RECT r, COLORREF colour) {
  HDC dc = GetDC(nullptr);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  ReleaseDC(nullptr, dc);
}

class ZbdevScreenshot : public ::testing::Test {
 protected:
  TestDevice device_;
};

TEST_F(ZbdevScreenshot, WritesTheScreenAsThisProcessSavesItInEveryDepth) {
  const struct {
    const char* profile;
    int width, height;
  } cases[] = {
      {"", 240, 320},
      {"[screen]\nwidth = 480\nheight = 640\ndpi = 192\n", 480, 640},
      {"[screen]\nwidth = 320\nheight = 240\ndepth = 24\n", 320, 240},
      {"[screen]\nwidth = 240\nheight = 240\ndepth = 32\n", 240, 240},
      {"[screen]\ndepth = 8\n", 240, 320},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.profile);
    device_.WriteProfile(c.profile);
    Fill(RECT{0, 0, c.width, c.height}, RGB(255, 255, 255));
    Fill(RECT{10, 20, 30, 40}, RGB(255, 0, 0));
    Fill(RECT{c.width - 8, c.height - 8, c.width, c.height}, RGB(0, 0, 255));
    const auto shot = device_.Host("shot.png"), saved = device_.Host("saved.png");
    const Outcome out = Zbdev({"screenshot", shot.string()});
    ASSERT_EQ(out.status, 0) << out.err;
    ASSERT_TRUE(zb::gdi::SaveScreenPng(saved));
    int w = 0, h = 0, sw = 0, sh = 0;
    const auto rgb = ReadRgb(shot, w, h);
    ASSERT_FALSE(rgb.empty());
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
    EXPECT_EQ(rgb, ReadRgb(saved, sw, sh));
    const uint8_t* red = &rgb[(static_cast<size_t>(20) * w + 10) * 3];
    EXPECT_EQ(red[0], 255);
    EXPECT_EQ(red[1], 0);
    const uint8_t* blue = &rgb[(static_cast<size_t>(h - 1) * w + (w - 1)) * 3];
    EXPECT_EQ(blue[2], 255);
    EXPECT_EQ(blue[0], 0);
  }
}

TEST_F(ZbdevScreenshot, FailsClearlyAndWritesNothing) {
  const auto shot = device_.Host("shot.png");
  Outcome out = Zbdev({"screenshot", shot.string()});
  EXPECT_EQ(out.status, 1);
  EXPECT_NE(out.err.find("no screen"), std::string::npos) << out.err;
  EXPECT_FALSE(std::filesystem::exists(shot));

  Fill(RECT{0, 0, 1, 1}, RGB(1, 2, 3));
  out = Zbdev({"screenshot", device_.Host("missing/folder/shot.png").string()});
  EXPECT_EQ(out.status, 1);
  EXPECT_NE(out.err.find("cannot write"), std::string::npos) << out.err;

  for (const std::vector<std::string>& args : {std::vector<std::string>{"screenshot"},
                                                std::vector<std::string>{"screenshot", "a.png", "b.png"}}) {
    out = Zbdev(args);
    EXPECT_EQ(out.status, 2);
    EXPECT_NE(out.err.find("usage"), std::string::npos) << out.err;
  }
  out = Zbdev({"no-such-command"});
  EXPECT_EQ(out.status, 2);
  EXPECT_NE(out.err.find("no command"), std::string::npos) << out.err;
}

TEST_F(ZbdevScreenshot, ReadsTheDeviceGivenByItsOption) {
  Fill(RECT{0, 0, 240, 320}, RGB(0, 255, 0));
  const auto shot = device_.Host("shot.png");
  const std::string root = device_.root().string();
  {
    TestDevice other;  // ZONBREL_DEVICE now names another device, which has no screen
    EXPECT_EQ(Zbdev({"screenshot", shot.string()}).status, 1);
    const Outcome out = Zbdev({"--device", root, "screenshot", shot.string()});
    ASSERT_EQ(out.status, 0) << out.err;
  }
  int w = 0, h = 0;
  const auto rgb = ReadRgb(shot, w, h);
  ASSERT_EQ(rgb.size(), size_t{240} * 320 * 3);
  EXPECT_EQ(rgb[0], 0);
  EXPECT_EQ(rgb[1], 255);
}

}  // namespace
}  // namespace zb::testing
