// The skin's once-a-second refresh of a playing player (one new second: the time label and the
// track slider) and a full redraw of the built-in skin at 240x320, each beside a full-screen
// BitBlt of the same size in the same run, so the refresh's cost reads as a fraction of a blit.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <filesystem>
#include <memory>

#include "skin/skin.h"
#include "skin/skin_state.h"
#include "skin/tests/recording_host.h"
#include "skin/ui_cache.h"
#include "testing/test_device.h"

namespace {

constexpr int kW = 240, kH = 320;

struct SkinScene {
  zb::testing::TestDevice device;
  zb::testing::RecordingHost host;
  HWND window = nullptr;
  std::unique_ptr<CSkinState> state;
  int second = 0;

  SkinScene() {
    std::filesystem::copy_file(ZB_BUILTIN_SKIN, device.Host("calm.zsz"));
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"SkinBench";
    RegisterClassW(&wc);
    window = CreateWindowExW(0, u"SkinBench", u"", WS_VISIBLE, 0, 0, kW, kH, nullptr, nullptr, nullptr, nullptr);
    state = std::make_unique<CSkinState>(window, &host);
    auto* skin = new CSkin(window);
    skin->Load(u"\\calm.zsz");
    state->SetSkin(skin);
    host.playing = TRUE, host.paused = 0, host.index = 0, host.count = 3;
    host.settings[SKIN_SETTING_SHOWING_ELAPSED] = 1;
    state->HandleUiCommand(0, nullptr);
  }
  ~SkinScene() {
    state.reset();
    DestroyWindow(window);
  }
};

SkinScene& Scene() {
  static SkinScene scene;
  return scene;
}

void BM_SkinRefreshOneSecond(benchmark::State& s) {
  SkinScene& scene = Scene();
  WCHAR title[] = u"1. Artist - Song <59:59>";
  for (auto _ : s) {
    const int t = ++scene.second % 3600;
    scene.state->UpdateTrackTimeElements(3600, 0, t / 60, t % 60);
    scene.state->UpdatePlayPauseElements();
    scene.state->HandleUiCommand(6, title);
    scene.state->HandleUiCommand(1, nullptr);
  }
}
BENCHMARK(BM_SkinRefreshOneSecond);

void BM_SkinFullRedraw(benchmark::State& s) {
  SkinScene& scene = Scene();
  HDC screen = GetDC(scene.window);
  for (auto _ : s) scene.state->HandleUiCommand(8, screen);
  ReleaseDC(scene.window, screen);
}
BENCHMARK(BM_SkinFullRedraw);

void BM_FullScreenBitBlt(benchmark::State& s) {
  SkinScene& scene = Scene();
  HDC screen = GetDC(scene.window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kW, kH);
  HGDIOBJ old = SelectObject(memory, bitmap);
  for (auto _ : s) BitBlt(screen, 0, 0, kW, kH, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(scene.window, screen);
}
BENCHMARK(BM_FullScreenBitBlt);

}  // namespace

BENCHMARK_MAIN();
