// A plug-in library for the loader's tests, built as "dec_test.dll": one export by name, the
// same export and a second one by ordinal, and a symbol it only uses (from coredll).
#include <windows.h>
#include <zbexports.h>

extern "C" __attribute__((visibility("default"))) int ZonbrelGetDecModule(int index) { return 1000 + index; }

extern "C" __attribute__((visibility("default"))) int DecTestSecond() { return static_cast<int>(GetTickCount() & 0) + 2; }

ZB_ORDINAL_EXPORTS({1, "ZonbrelGetDecModule"}, {7, "DecTestSecond"});
