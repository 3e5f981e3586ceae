// The library's listeners while events fire: a callback may advise and unadvise, itself or others,
// and one taken away during a round is not called later in it; the registration checks; and the
// tag events that single writes raise with their record.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tag_storage_fixture.h"
#include "tag_value.h"

namespace {

using namespace libtest;

struct Round;

struct Listener {
  Round* round;
  int id;
  bool alive = true;
  std::vector<int> actions;  // ids to unadvise when called; negative: advise -id
};

struct Round {
  CMediaLibrary* library;
  std::vector<Listener> listeners;
  std::vector<int> calls;
  bool calledDead = false;
};

void Called(DWORD event, DWORD_PTR context, LPCWSTR, const LIBEVENTINFO*);

HRESULT Register(Round& round, int id, bool on) {
  auto context = reinterpret_cast<DWORD_PTR>(&round.listeners[static_cast<size_t>(id)]);
  return on ? round.library->Advise(LIBEVENT_TAGS_CHANGED, 0, Called, context)
            : round.library->Unadvise(LIBEVENT_TAGS_CHANGED, 0, Called, context);
}

void Called(DWORD, DWORD_PTR context, LPCWSTR, const LIBEVENTINFO*) {
  auto* self = reinterpret_cast<Listener*>(context);
  if (!self->alive) self->round->calledDead = true;
  self->round->calls.push_back(self->id);
  for (int action : self->actions) {
    Round& round = *self->round;
    if (action >= 0) {
      Register(round, action, false);
      round.listeners[static_cast<size_t>(action)].alive = false;  // as if its owner went
    } else {
      Register(round, -action, true);
    }
  }
  self->actions.clear();
}

class LibraryListenersTest : public TagStorageTest {};

TEST_F(LibraryListenersTest, CallbacksMayAdviseAndUnadviseWhileAnEventFires) {
  Round round{library_, {}, {}};
  for (int id = 0; id < 4; ++id) round.listeners.push_back(Listener{&round, id, true, {}});
  for (int id = 0; id < 3; ++id) ASSERT_EQ(Register(round, id, true), S_OK);
  // Whoever is called first takes away every other listener of the round and adds number 3.
  for (int id = 0; id < 3; ++id) {
    for (int other = 0; other < 3; ++other) {
      if (other != id) round.listeners[static_cast<size_t>(id)].actions.push_back(other);
    }
    round.listeners[static_cast<size_t>(id)].actions.push_back(-3);
  }
  library_->RaiseEvent(LIBEVENT_TAGS_CHANGED, u"x", nullptr);
  ASSERT_EQ(round.calls.size(), 1u) << "the others were taken away before their turn";
  EXPECT_FALSE(round.calledDead);
  const int first = round.calls[0];
  round.calls.clear();
  library_->RaiseEvent(LIBEVENT_TAGS_CHANGED, u"x", nullptr);
  std::vector<int> expected{first, 3};
  std::sort(round.calls.begin(), round.calls.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(round.calls, expected);
  EXPECT_FALSE(round.calledDead);
  for (int id : {first, 3}) EXPECT_EQ(Register(round, id, false), S_OK);
  round.calls.clear();
  library_->RaiseEvent(LIBEVENT_TAGS_CHANGED, u"x", nullptr);
  EXPECT_TRUE(round.calls.empty());
}

TEST_F(LibraryListenersTest, RegistrationsAreCheckedAndHeldOnce) {
  EventRecorder events;
  auto context = reinterpret_cast<DWORD_PTR>(&events);
  EXPECT_EQ(library_->Advise(LIBEVENT_COUNT, 0, EventRecorder::Callback, context), E_FAIL);
  EXPECT_EQ(library_->Advise(LIBEVENT_TAGS_CHANGED, 0, nullptr, context), E_FAIL);
  EXPECT_EQ(library_->Unadvise(LIBEVENT_COUNT, 0, EventRecorder::Callback, context), E_FAIL);
  ASSERT_EQ(library_->Advise(LIBEVENT_TAGS_CHANGED, 0, EventRecorder::Callback, context), S_OK);
  ASSERT_EQ(library_->Advise(LIBEVENT_TAGS_CHANGED, 0, EventRecorder::Callback, context), S_OK);
  library_->RaiseEvent(LIBEVENT_TAGS_CHANGED, u"x", nullptr);
  EXPECT_EQ(events.raised.size(), 1u);
  EXPECT_EQ(library_->Unadvise(LIBEVENT_TAGS_CHANGED, 0, EventRecorder::Callback, context), S_OK);
  EXPECT_EQ(library_->Unadvise(LIBEVENT_TAGS_CHANGED, 0, EventRecorder::Callback, context), S_OK) << "absent is fine";
}

TEST_F(LibraryListenersTest, SingleWritesTellTheirTagAndEntry) {
  Exec("insert into media values (5, '\\e.mp3', 1, 0, 0, 0, 0);");
  EventRecorder changed, added, filtered;
  changed.Listen(library_, LIBEVENT_TAGS_CHANGED);
  added.Listen(library_, LIBEVENT_VALUE_ADDED);
  filtered.Listen(library_, LIBEVENT_TAGS_CHANGED, TAG_ALBUM);
  ASSERT_EQ(library_->SetTagValue(5, CTagValue::ForText(TAG_ARTIST, u"New"), TRUE, nullptr), S_OK);
  ASSERT_EQ(library_->SetTagValue(5, CTagValue::ForInt(TAG_RATING, 3), FALSE, nullptr), S_OK);
  ASSERT_EQ(library_->DeleteTag(5, TAG_ARTIST, 0, nullptr), S_OK);
  ASSERT_EQ(changed.raised.size(), 2u) << "the write without notification raises nothing";
  EXPECT_EQ(changed.raised[0].text, u"\\e.mp3") << "the entry's source, looked up by mid";
  EXPECT_EQ(changed.raised[0].tag, TAG_ARTIST);
  EXPECT_EQ(changed.raised[1].tag, TAG_ARTIST);
  ASSERT_EQ(added.raised.size(), 1u);
  EXPECT_EQ(added.raised[0].value, u"New");
  EXPECT_TRUE(filtered.raised.empty());
}

}  // namespace
