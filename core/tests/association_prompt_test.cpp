// The first-run association question and the activity watcher: without a prompt wanted the file
// types are taken at once; "No" is remembered so the question never comes again; a device
// without an activity event starts no watcher; with one the watcher marks user activity.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/device/activity_watch.h"
#include "core/settings/associations.h"
#include "core/settings/settings.h"
#include "core/window/program_state.h"
#include "gwes/message_box.h"
#include "product_device.h"

namespace zb::testing {
namespace {

using namespace std::chrono_literals;

class AssociationPromptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zb::wm::ClearMessageBoxScript();
    zb::wm::ClearShownMessageBoxes();
    settings_ = GetSettings();
    ASSERT_NE(settings_, nullptr);
    settings_->setAssociations = 0;
  }
  ProductDevice device_;
  CSettings* settings_ = nullptr;
};

TEST_F(AssociationPromptTest, WithoutAPromptTheFileTypesAreTakenAtOnce) {
  settings_->associationsNoPrompt = 1;
  RunAssociationPrompt();
  EXPECT_TRUE(zb::wm::ShownMessageBoxes().empty());
  EXPECT_EQ(settings_->setAssociations, 1u);
  EXPECT_TRUE(IsAssociated(u"mp3"));
}

TEST_F(AssociationPromptTest, TheAnswerIsRememberedSoTheQuestionNeverComesAgain) {
  struct Case {
    int answer;
    bool associated;
  };
  for (const Case c : {Case{IDNO, false}, Case{IDYES, true}}) {
    settings_->setAssociations = 0;
    zb::wm::ClearShownMessageBoxes();
    ASSERT_TRUE(zb::wm::ScriptMessageBox(u"Zonbrel", c.answer));
    RunAssociationPrompt();
    const auto shown = zb::wm::ShownMessageBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, u"Associate Zonbrel with known file types?");
    EXPECT_EQ(shown[0].type, static_cast<UINT>(MB_YESNO | MB_SETFOREGROUND));
    EXPECT_EQ(settings_->setAssociations, 1u);
    EXPECT_EQ(IsAssociated(u"mp3") != FALSE, c.associated) << c.answer;
    RunAssociationPrompt();  // asked once only
    EXPECT_EQ(zb::wm::ShownMessageBoxes().size(), 1u);
  }
}

TEST(ActivityWatchTest, StartsOnlyWithAnActivityEventAndEndsWhenCleared) {
  ProductDevice device;
  Program().activityEvent = INVALID_HANDLE_VALUE;
  SetActivityWatch(nullptr, TRUE);
  EXPECT_EQ(ActivityWatchThread(), 0u) << "no \"ActivityEvent\" in the registry";

  Program().activityEvent = CreateEventW(nullptr, TRUE, FALSE, u"TestActivity");
  SetActivityWatch(nullptr, TRUE);
  const DWORD watcher = ActivityWatchThread();
  EXPECT_NE(watcher, 0u);
  SetActivityWatch(nullptr, TRUE);
  EXPECT_NE(ActivityWatchThread(), watcher) << "a newer watcher takes over";
  SetActivityWatch(nullptr, FALSE);
  EXPECT_EQ(ActivityWatchThread(), 0u);
  std::this_thread::sleep_for(2500ms);  // both watchers see the cleared word and end
  CloseHandle(Program().activityEvent);
  Program().activityEvent = INVALID_HANDLE_VALUE;
}

}  // namespace
}  // namespace zb::testing
