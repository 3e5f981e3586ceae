// Mp3SeekMap: where in an MP3 file's audio a time lies, and the time of a byte, for seeks. Built
// from the Xing table of contents when the file has one, else a straight line over the bytes.
#pragma once
#include <windows.h>

#include "mp3_decoder.h"

class Mp3SeekMap {
 public:
  // `dataSize`: the bytes behind the ID3v2 tag; `audioStart`: where the first audio frame lies
  // in them; `frameMs`: one frame's duration.
  Mp3SeekMap(const XingInfo& xing, DWORD dataSize, DWORD audioStart, int lengthMs, double frameMs);
  double ByteOf(double ms) const { return Follow(ms, &Point::ms, &Point::byte); }
  double TimeOf(double byte) const { return Follow(byte, &Point::byte, &Point::ms); }

 private:
  struct Point {
    double ms;
    double byte;
  };
  double Follow(double x, double Point::*from, double Point::*to) const;

  Point points_[101];
  int count_ = 0;
};
