// The output list and the two small outputs: registration fills the host words, init and quit
// hand each result on; NullOut takes everything; ProfileOut measures against the device clock
// and reports the load in a message box at close.
#include <gtest/gtest.h>

#include <vector>

#include "core/output/output_registry.h"
#include "gwes/message_box.h"
#include "product_device.h"
#include "testing/test_clock.h"

namespace zb::testing {
namespace {

std::vector<int> g_calls;

int InitA(int previous) {
  g_calls.push_back(previous);
  return previous + 10;
}
int InitB(int previous) {
  g_calls.push_back(previous);
  return previous * 2;
}

TEST(OutputList, RegistrationFillsTheHostWordsAndBroadcastsInOrder) {
  const int before = OutputModuleCount();
  OutputModule a{}, b{};
  a.Init = a.Quit = InitA;
  b.Init = b.Quit = InitB;
  HWND window = reinterpret_cast<HWND>(0x1234);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(0x5678);
  EXPECT_EQ(RegisterOutputModule(&a, instance, window), before + 1);
  EXPECT_EQ(RegisterOutputModule(&b, instance, window), before + 2);
  EXPECT_EQ(a.hwndParent, window);
  EXPECT_EQ(b.hDllInstance, instance);
  EXPECT_EQ(GetOutputModule(before + 1), &b);
  EXPECT_EQ(GetOutputModule(before + 2), nullptr);
  EXPECT_EQ(GetOutputModule(-1), nullptr);
  g_calls.clear();
  // Records registered before these (if any) are the program's own; only ours record calls.
  const int last = OutputModulesInit(1);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[1], g_calls[0] + 10);
  EXPECT_EQ(last, (g_calls[0] + 10) * 2);
}

TEST(NullOutput, TakesEverythingAndPlaysNothing) {
  ProductDevice device;
  EXPECT_EQ(NullOut.version, 2);
  EXPECT_EQ(NullOut.Open(44100, 2, 16), 0x100000);
  char data[16] = {};
  EXPECT_EQ(NullOut.Write(data, 16), 16);
  EXPECT_EQ(NullOut.CanWrite(), 0x100000);
  EXPECT_EQ(NullOut.IsPlaying(), 0);
  EXPECT_EQ(NullOut.Pause(1), 0);
  EXPECT_EQ(NullOut.GetOutputTime(), 0);
  EXPECT_EQ(NullOut.GetWrittenTime(), 0);
  NullOut.SetVolume(100);
  NullOut.Flush(5000);
  NullOut.Close();
  EXPECT_EQ(NullOut.Init(0), 0);
}

TEST(ProfileOutput, MeasuresTheDecodingAgainstTheAudioLength) {
  ProductDevice device;
  TakeOverClock(10000);
  wm::ClearShownMessageBoxes();
  ASSERT_TRUE(wm::ScriptMessageBox(u"Profile Output", IDOK));
  EXPECT_EQ(ProfileOut.Open(8000, 2, 16), 3 * 32000);
  EXPECT_EQ(ProfileOut.CanWrite(), 2 * 32000);
  std::vector<char> second(32000);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ProfileOut.Write(second.data(), 32000), 32000);  // four seconds of audio
  AdvanceClock(1500);
  EXPECT_EQ(ProfileOut.GetOutputTime(), 1500);
  EXPECT_EQ(ProfileOut.GetWrittenTime(), 1500);
  ProfileOut.Close();
  const auto shown = wm::ShownMessageBoxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].caption, u"Profile Output");
  // 1500 ms for 4 s of audio: 1500 / (128000 x 10 / 32000) = 37.5 %.
  EXPECT_EQ(shown[0].text, u"1500 msec elapsed. 128000 bytes written. 37.50% Usage");
  EXPECT_EQ(shown[0].type, UINT(MB_SETFOREGROUND));

  // A second open keeps the byte total; a close within a second says nothing.
  ProfileOut.Open(8000, 2, 16);
  ProfileOut.Write(second.data(), 1000);
  AdvanceClock(1000);
  ProfileOut.Close();
  ProfileOut.Close();
  EXPECT_EQ(wm::ShownMessageBoxes().size(), 1u);
  ReleaseClock();
}

}  // namespace
}  // namespace zb::testing
