// A library's exports by ordinal. Shared objects have only named symbols, so each library that
// the platform lets callers bind by number lists its ordinals here, and GetProcAddressW reads
// the list. Usage, once per library:
//   ZB_ORDINAL_EXPORTS({4, "SHSipInfo"}, {34, "SHCreateMenuBar"});
#pragma once
#include "windef.h"

typedef struct ZB_ORDINAL_EXPORT {
  WORD ordinal;      // 0 ends the table
  const char* name;  // the exported (extern "C") symbol
} ZB_ORDINAL_EXPORT;

#define ZB_ORDINAL_TABLE_SYMBOL "ZbOrdinalExports"
#define ZB_ORDINAL_EXPORTS(...)                                                                \
  extern "C" __attribute__((visibility("default"))) const ZB_ORDINAL_EXPORT ZbOrdinalExports[] = { \
      __VA_ARGS__, {0, nullptr}}
