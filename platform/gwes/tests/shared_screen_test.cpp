// One screen for the whole device: what one process draws the others see, a mode given by one
// holds for all, readers learn of drawing through the change counter, and a screen file that is
// missing or damaged is refused by readers and made anew by the GDI.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <functional>

#include "canvas.h"
#include "device/device.h"
#include "gwes/gdi_host.h"
#include "gwes/screen_picture.h"
#include "gwes/shared_screen.h"
#include "screen_support.h"

namespace zb::testing {
namespace {

class SharedScreenTest : public GdiTest {
 protected:
  int Probe(const std::vector<std::string>& args) { return RunToEnd(SCREEN_PROBE_PATH, args, {"ZONBREL_DISPLAY=none"}); }

  // What the screen holds after a probe has done `steps`, as the probe saves it.
  std::optional<screen::Picture> Saved(std::vector<std::string> steps = {}) {
    const auto path = device_.Host("saved.png");
    steps.insert(steps.end(), {"save", path.string()});
    if (Probe(steps) != 0) return std::nullopt;
    return ReadPng(path);
  }

  std::shared_ptr<screen::SharedScreen> Reader() {
    std::string why;
    auto reader = screen::SharedScreen::Open(device::StateFolder(), why);
    EXPECT_NE(reader, nullptr) << why;
    return reader;
  }

  static void Fill(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }

  std::filesystem::path ScreenFile() const { return device_.root() / ".zonbrel" / "screen-v1.map"; }
};

TEST_F(SharedScreenTest, TwoProcessesDrawOnOneScreenAndAThirdReadsIt) {
  ASSERT_EQ(Probe({"fill", "0", "0", "120", "320", "FF0000"}), 0);
  ASSERT_EQ(Probe({"fill", "120", "0", "240", "320", "0000FF"}), 0);
  auto picture = Saved();  // by a third process
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture->width, 240);
  ASSERT_EQ(picture->height, 320);
  EXPECT_EQ(At(*picture, 0, 0), 0xFF0000u);
  EXPECT_EQ(At(*picture, 119, 319), 0xFF0000u);
  EXPECT_EQ(At(*picture, 120, 0), 0x0000FFu);
  EXPECT_EQ(At(*picture, 239, 319), 0x0000FFu);

  // This process sees both, and what it draws reaches the next process.
  EXPECT_EQ(zb::gdi::ScreenPixel(5, 5), RGB(255, 0, 0));
  EXPECT_EQ(zb::gdi::ScreenPixel(200, 300), RGB(0, 0, 255));
  HDC dc = GetDC(nullptr);
  Fill(dc, RECT{100, 100, 140, 140}, RGB(0, 255, 0));
  ReleaseDC(nullptr, dc);
  picture = Saved();
  ASSERT_TRUE(picture);
  EXPECT_EQ(At(*picture, 120, 120), 0x00FF00u);
  EXPECT_EQ(At(*picture, 99, 120), 0xFF0000u);
  EXPECT_EQ(At(*picture, 140, 120), 0x0000FFu);
}

TEST_F(SharedScreenTest, DrawingOnTheScreenMovesTheChangeCounterOnceItIsDone) {
  EXPECT_EQ(zb::gdi::CurrentScreenMode().width, 240);  // the GDI has made the screen
  auto reader = Reader();
  ASSERT_NE(reader, nullptr);
  auto pixels = reader->Pixels();
  ASSERT_NE(pixels, nullptr);
  uint32_t seen = reader->Changes();

  {
    Canvas memory(16, 16);
    Fill(memory.dc, RECT{0, 0, 16, 16}, RGB(255, 255, 255));
  }
  EXPECT_EQ(reader->Changes(), seen) << "drawing off the screen is no change of it";

  HDC dc = GetDC(nullptr);
  Fill(dc, RECT{10, 10, 20, 20}, RGB(255, 255, 0));
  EXPECT_NE(reader->Changes(), seen);
  EXPECT_EQ(pixels->ToRgb(pixels->Get(15, 15)), RGB(255, 255, 0)) << "the pixels are there by the time it moves";
  seen = reader->Changes();
  SetPixel(dc, 0, 0, RGB(255, 255, 255));
  EXPECT_NE(reader->Changes(), seen);
  ReleaseDC(nullptr, dc);

  seen = reader->Changes();
  ASSERT_EQ(Probe({"fill", "0", "0", "1", "1", "000000"}), 0);
  EXPECT_NE(reader->Changes(), seen) << "another process's drawing moves it too";
  EXPECT_EQ(pixels->ToRgb(pixels->Get(0, 0)), RGB(0, 0, 0));
}

TEST_F(SharedScreenTest, AModeGivenByOneProcessHoldsForAllUntilTheProfileChanges) {
  ASSERT_TRUE(zb::gdi::SetScreenMode({320, 240, 16, 96}));
  HDC before = GetDC(nullptr);
  auto picture = Saved({"fill", "0", "0", "320", "240", "00FF00"});
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 320);
  EXPECT_EQ(picture->height, 240);
  EXPECT_EQ(At(*picture, 319, 239), 0x00FF00u);
  EXPECT_EQ(zb::gdi::ScreenPixel(319, 239), RGB(0, 255, 0));

  // Another process changes the mode: this one follows, and its older DC draws where it safely can.
  ASSERT_EQ(Probe({"mode", "480", "640", "16", "192"}), 0);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 480);
  EXPECT_EQ(zb::gdi::CurrentScreenMode().dpi, 192);
  EXPECT_EQ(zb::gdi::ScreenPixel(479, 639), RGB(0, 0, 0));
  Fill(before, RECT{0, 0, 320, 240}, RGB(255, 0, 0));
  ReleaseDC(nullptr, before);

  device_.WriteProfile("[screen]\nwidth = 240\nheight = 240\n");
  picture = Saved();
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 240);
  EXPECT_EQ(picture->height, 240);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 240);
}

TEST_F(SharedScreenTest, ProcessesKeepDrawingWhileAnotherKeepsChangingTheMode) {
  zb::gdi::CurrentScreenMode();  // the screen exists for the reader below
  // Each drawing probe also keeps the DC it took first, on whatever layout that was.
  std::vector<std::unique_ptr<Child>> probes;
  probes.push_back(std::make_unique<Child>(SCREEN_PROBE_PATH, std::vector<std::string>{"churn", "200"}));
  for (int i = 0; i < 3; ++i) {
    probes.push_back(std::make_unique<Child>(SCREEN_PROBE_PATH, std::vector<std::string>{"churn", "301"}));
  }
  auto reader = Reader();
  for (int k = 0; k < 200 && reader; ++k) {
    if (reader->Stale()) reader = Reader();
    if (auto pixels = reader ? reader->Pixels() : nullptr) screen::PictureOf(*pixels);
  }
  for (auto& p : probes) EXPECT_EQ(p->Wait(), 0);
  auto picture = Saved({"fill", "0", "0", "1", "1", "FFFFFF"});
  ASSERT_TRUE(picture);
  EXPECT_EQ(At(*picture, 0, 0), 0xFFFFFFu);
}

TEST_F(SharedScreenTest, NewColoursOfAPalettizedScreenReachItsReaders) {
  device_.WriteProfile("[screen]\ndepth = 8\n");
  HDC dc = GetDC(nullptr);
  auto reader = Reader();
  ASSERT_NE(reader, nullptr);
  const uint32_t seen = reader->Changes();

  LOGPALETTE palette{0x300, 1, {{10, 200, 30, 0}}};
  HPALETTE own = CreatePalette(&palette);
  HPALETTE old = SelectPalette(dc, own, FALSE);
  ASSERT_EQ(RealizePalette(dc), 1u);
  EXPECT_NE(reader->Changes(), seen) << "new colours alone are a change";
  Fill(dc, RECT{0, 0, 8, 8}, PALETTEINDEX(0));
  auto pixels = reader->Pixels();
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(pixels->bpp, 8);
  EXPECT_EQ(pixels->ToRgb(pixels->Get(4, 4)), RGB(10, 200, 30));

  SelectPalette(dc, old, FALSE);
  DeleteObject(own);
  ReleaseDC(nullptr, dc);
}

struct Damage {
  const char* name;
  std::function<void(int fd)> apply;
};

void PutInt(int fd, size_t offset, int32_t value) { ASSERT_EQ(::pwrite(fd, &value, sizeof value, offset), 4); }

TEST_F(SharedScreenTest, ReadersRefuseADamagedScreenAndTheGdiMakesItAnew) {
  const Damage cases[] = {
      {"truncated", [](int fd) { ASSERT_EQ(::ftruncate(fd, 100), 0); }},
      {"pixels cut short", [](int fd) { ASSERT_EQ(::ftruncate(fd, 4096 + 480 * 100), 0); }},
      {"not a screen", [](int fd) { PutInt(fd, offsetof(screen::Header, magic), 0x12345678); }},
      {"other version", [](int fd) { PutInt(fd, offsetof(screen::Header, version), 99); }},
      {"no width", [](int fd) { PutInt(fd, offsetof(screen::Header, width), 0); }},
      {"negative height", [](int fd) { PutInt(fd, offsetof(screen::Header, height), -320); }},
      {"too wide", [](int fd) { PutInt(fd, offsetof(screen::Header, width), 5000); }},
      {"taller than the file", [](int fd) { PutInt(fd, offsetof(screen::Header, height), 4000); }},
      {"no such depth", [](int fd) { PutInt(fd, offsetof(screen::Header, bpp), 7); }},
      {"wrong stride", [](int fd) { PutInt(fd, offsetof(screen::Header, stride), 484); }},
      {"masks wider than the pixel", [](int fd) { PutInt(fd, offsetof(screen::Header, masks), 0x1F0000); }},
  };
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(Probe({"fill", "0", "0", "240", "320", "FFFFFF"}), 0);
    {
      const int fd = ::open(ScreenFile().c_str(), O_RDWR);
      ASSERT_GE(fd, 0);
      c.apply(fd);
      ::close(fd);
    }
    std::string why;
    EXPECT_EQ(screen::SharedScreen::Open(device::StateFolder(), why), nullptr);
    EXPECT_NE(why.find("damaged"), std::string::npos) << why;

    // The next process to draw starts a fresh screen.
    auto picture = Saved({"fill", "0", "0", "2", "2", "FF00FF"});
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 240);
    EXPECT_EQ(picture->height, 320);
    EXPECT_EQ(At(*picture, 1, 1), 0xFF00FFu);
    EXPECT_EQ(At(*picture, 2, 2), 0x000000u);
    EXPECT_NE(screen::SharedScreen::Open(device::StateFolder(), why), nullptr) << why;
  }
}

TEST_F(SharedScreenTest, ADeviceWithNoScreenYetSaysSo) {
  std::string why;
  EXPECT_EQ(screen::SharedScreen::Open(device::StateFolder(), why), nullptr);
  EXPECT_NE(why.find("no screen"), std::string::npos) << why;
}

TEST_F(SharedScreenTest, AStateFolderThatCannotHoldTheScreenGivesThisProcessAScreenOfItsOwn) {
  std::filesystem::create_directory(ScreenFile());  // no file can be made there
  HDC dc = GetDC(nullptr);
  ASSERT_NE(dc, nullptr);
  Fill(dc, RECT{0, 0, 4, 4}, RGB(0, 0, 255));
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(zb::gdi::ScreenPixel(3, 3), RGB(0, 0, 255));
  EXPECT_EQ(zb::gdi::ScreenPixel(4, 4), RGB(0, 0, 0));
  EXPECT_NE(DebugLogText(device_.root()).find("cannot share the device's screen"), std::string::npos);
}

}  // namespace
}  // namespace zb::testing
