// Play statistics of a completed play (see play_statistics.h).
#include "core/player/play_statistics.h"

#include "tagids.h"

namespace {

constexpr DWORD kTagAutoRating = TAG_ID(1003, TAG_TYPE_INT);
constexpr DWORD kTagLastPlayed = TAG_ID(2009, TAG_TYPE_DATE);
constexpr LONG kRatingFewPlays = 75;
constexpr LONG kRatingManyPlays = 99;
constexpr LONG kManyPlays = 4;

// Hours from which each time-of-day count applies, latest first.
struct DaySlot {
  WORD fromHour;
  DWORD instance;
};
constexpr DaySlot kDaySlots[] = {
    {20, PLAYS_NIGHT}, {17, PLAYS_EVENING}, {12, PLAYS_AFTERNOON}, {6, PLAYS_MORNING}, {0, PLAYS_NIGHT},
};

// Adds one to an instance of the play count; a missing instance counts as 0.
LONG CountPlay(IMediaItem* item, DWORD instance) {
  LONG count = 0;
  DWORD size = sizeof count;
  if (FAILED(item->GetInstance(TAG_PLAY_COUNT, instance, &count, &size)) || size != sizeof count) count = 0;
  ++count;
  item->SetInstance(TAG_PLAY_COUNT, instance, &count, sizeof count);
  return count;
}

DWORD DaySlotOf(WORD hour) {
  for (const DaySlot& slot : kDaySlots)
    if (hour >= slot.fromHour) return slot.instance;
  return PLAYS_NIGHT;
}

}  // namespace

void UpdatePlayStatistics(IMediaItem* item, const SYSTEMTIME& utc, const SYSTEMTIME& local) {
  if (!item) return;
  item->SetSystemTime(kTagLastPlayed, &utc);
  const LONG plays = CountPlay(item, 0);
  item->SetInt(kTagAutoRating, plays < kManyPlays ? kRatingFewPlays : kRatingManyPlays);
  CountPlay(item, DaySlotOf(local.wHour));
  const bool weekend = local.wDayOfWeek == 0 || local.wDayOfWeek == 6;
  CountPlay(item, weekend ? PLAYS_WEEKEND : PLAYS_WEEKDAY);
}
