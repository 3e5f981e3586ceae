// What every module shares: the About box and the sample-count promise of the modules that hand
// back as many frames as they were given.
#include "plugins/dsp/dsp_records.h"

void ShowDspAbout(HWND owner, const WCHAR* text) { MessageBoxW(owner, text, u"About", MB_OK | MB_SETFOREGROUND); }

int SameSampleCount(int count, DSPModule*) { return count; }
