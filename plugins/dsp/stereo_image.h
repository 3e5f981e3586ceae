// Stereo Balance and Surround's values, which their pages set: the setters recompute the
// attenuation factor at once, as the processing reads it without a check of its own.
#pragma once

// 255 x 10^(-0.00069055 s): 255 at s = 0, 170 at s = 255.
int StereoAttenuation(int amount);

struct StereoBalanceValues {
  int separation, panning, mode;
};
StereoBalanceValues StereoBalance();
void SetStereoSeparation(int amount);  // 0 ... 255
void SetStereoPanning(int panning);    // -100 ... +100
void SetStereoMode(int mode);          // 0 separation, 1 panning, 2 mono downmix

// Left and right percentages of a panning value.
void PanningPercents(int panning, int* left, int* right);

int SurroundAmount();
void SetSurroundAmount(int amount);  // 0 ... 255
