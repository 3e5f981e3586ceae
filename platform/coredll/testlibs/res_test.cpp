// A plug-in library for the resource tests, built as "res_test.dll" with a resource script of
// its own (resources/library.rc); it needs no code beyond being a library.
#include <windows.h>

extern "C" __attribute__((visibility("default"))) int ResTestLoaded() { return 1; }
