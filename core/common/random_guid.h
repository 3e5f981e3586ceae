// Identifiers for new media-library records: a GUID built from the system time, the tick count,
// a random word and a process-wide clock sequence.
#pragma once
#include <windows.h>

// Fills `out` and answers 0 (E_POINTER without one). Data3 always lies in 0x1000..0x1FFF and the
// top two bits of Data4[1] are binary 10.
HRESULT MakeRandomGuid(GUID* out);
