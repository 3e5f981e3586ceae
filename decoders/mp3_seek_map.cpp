// The seek map. A table of contents is read as encoders write it: entry i (1 to 99) tells where
// the frame after the one playing at i % of the frames begins, counted over the audio behind the
// Xing frame in 256ths, rounded down. Read that way every frame lands within a third of a frame
// of its time; read as "the byte at i %", frames of a short file land more than a frame off.
#include "mp3_seek_map.h"

#include <algorithm>
#include <cmath>

Mp3SeekMap::Mp3SeekMap(const XingInfo& xing, DWORD dataSize, DWORD audioStart, int lengthMs, double frameMs) {
  const double start = audioStart, span = dataSize > audioStart ? dataSize - audioStart : 0;
  points_[count_++] = {0, start};
  if ((xing.flags & XING_TOC) && frameMs > 0) {
    const double frames = (xing.flags & XING_FRAMES) && xing.frames > 0 ? xing.frames : std::floor(lengthMs / frameMs);
    for (int i = 1; i < 100; ++i)
      points_[count_++] = {std::min((std::floor(i * frames / 100) + 1) * frameMs, static_cast<double>(lengthMs)),
                           start + std::min((xing.toc[i] + 0.5) * span / 256, span)};
  }
  points_[count_++] = {static_cast<double>(lengthMs), start + span};
}

// Along the points by one coordinate to the other, straight between them. The points only ever
// rise, but a damaged table may make them fall: a segment that does not rise is passed over.
double Mp3SeekMap::Follow(double x, double Point::*from, double Point::*to) const {
  if (x <= points_[0].*from) return points_[0].*to;
  for (int i = 1; i < count_; ++i) {
    const Point &a = points_[i - 1], &b = points_[i];
    if (x <= b.*from && b.*from > a.*from) return a.*to + (b.*to - a.*to) * (x - a.*from) / (b.*from - a.*from);
  }
  return points_[count_ - 1].*to;
}
