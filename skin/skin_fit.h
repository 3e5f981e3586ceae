// Fitting a skin to the window it is shown in: a background that differs from the target by
// more than three pixels in either side scales the whole skin and the UICache's images.
#pragma once
#include <windows.h>

class CSkin;

// TRUE when the skin was scaled to width x height.
BOOL FitSkinToSize(CSkin* skin, int width, int height);
