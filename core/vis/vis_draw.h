// The built-in view's frames drawn into surface memory: the dot background, the oscilloscope,
// the spectrum bars with their falling levels and peaks, and the idle pattern that feeds them
// when no samples arrive. Integer arithmetic only, one frame per call.
#pragma once
#include <windows.h>

#include "core/vis/vis_surface.h"

constexpr int kVisBands = 15;
constexpr int kVisBufferBytes = 1152;  // 576 pairs of signed 8-bit (left, right)

// Colour table entries the view uses.
enum : int {
  kVisColourBackground = 0,
  kVisColourDots = 1,
  kVisColourBarTop = 3,     // 3..16, top of the area to the bottom
  kVisColourScopeCentre = 18,  // 18..22, centre row out to the edges
  kVisColourPeak = 23,
};

// Levels carry over from frame to frame (and across decoder runs) for the whole process.
struct VisSpectrumState {
  int bandEdges[kVisBands] = {};
  int bandFirstBin[kVisBands] = {};
  int bandEndBin[kVisBands] = {};
  int barLevel[kVisBands] = {};
  int barPeak[kVisBands] = {};
  int peakAge[kVisBands] = {};
  LONG re[1024] = {};
  LONG im[1024] = {};
  int ready = 0;
};

// Even rows in the background colour, odd rows dotted on even columns.
void PaintVisDots(const VisSurface& s, const COLORREF* colours);
// style 0 dots, 1 lines, 2 filled; any other draws nothing. The centre row is half the frame's
// own height, so every row drawn lies inside it.
void DrawVisOscilloscope(const VisSurface& s, const signed char* samples, const COLORREF* colours, int style);
// Ten bars (bands 3..12) over the transform of the buffer's first pairs. barMode 0 colours by
// row, 1 from the bar's top, 2 one colour per bar; other values draw no bars (peaks still show).
void DrawVisSpectrum(const VisSurface& s, const signed char* samples, int byteCount, const COLORREF* colours,
                     int visSpeed, int barMode, VisSpectrumState& state);
void MakeVisBandTable(VisSpectrumState& state);
// The idle pattern for `frame` (the host's frame counter) in built-in mode `mode`.
void FillVisIdlePattern(signed char* buffer, int bytes, int mode, unsigned frame);
