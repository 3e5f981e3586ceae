// The play statistics a completed play adds to the library item of the file: when it was last
// played, the play count, the automatic rating, and the counts by time of day and by weekday.
#pragma once
#include <windows.h>

#include "mediaitem.h"

// Play count instances besides the total (instance 0).
#define PLAYS_MORNING 1    // 06:00-11:59
#define PLAYS_AFTERNOON 2  // 12:00-16:59
#define PLAYS_EVENING 3    // 17:00-19:59
#define PLAYS_NIGHT 4      // 20:00-05:59
#define PLAYS_WEEKDAY 5
#define PLAYS_WEEKEND 6    // Saturday and Sunday

// Counts one completed play at `utc` (the last-played date) and `local` (time of day, weekday).
void UpdatePlayStatistics(IMediaItem* item, const SYSTEMTIME& utc, const SYSTEMTIME& local);
