// zarvex: the ZIP archive library skin packages are read with, bound by ordinal. It lists the
// entry names of an archive and extracts one entry into a folder under its file-name part.
#pragma once
#include <windows.h>

// The message callback the library asks its questions through: (text, MB_ flags) -> answer.
typedef int(CALLBACK* ZARVEX_MESSAGE_CALLBACK)(LPCWSTR text, UINT flags);

typedef struct ZARVEX_SETUP {
  DWORD size;  // 12 on the device
  ZARVEX_MESSAGE_CALLBACK callback;
  DWORD reserved;
} ZARVEX_SETUP;

// One listed entry: the name (possibly with folder parts) at byte 96 of a 620-byte record.
typedef struct ZARVEX_ENTRY {
  BYTE header[96];
  WCHAR name[260];
  DWORD reserved;
} ZARVEX_ENTRY;

#define ZARVEX_ORDINAL_LIST 100
#define ZARVEX_ORDINAL_EXTRACT 101
#define ZARVEX_ORDINAL_SETUP 120
#define ZARVEX_ORDINAL_BEGIN_COUNT 201
#define ZARVEX_ORDINAL_END_COUNT 202

// Installs the callback: non-zero on success.
typedef int (*ZARVEX_SETUP_FN)(const ZARVEX_SETUP* setup, int reserved);
// Fills up to *capacity records and sets *capacity to the archive's entry count: non-zero when
// the archive was read.
typedef int (*ZARVEX_LIST_FN)(LPCWSTR archive, ZARVEX_ENTRY* entries, int* capacity);
// Writes entry `index` (1-based) into `folder` under the file-name part of its name.
typedef int (*ZARVEX_EXTRACT_FN)(LPCWSTR archive, LPCWSTR folder, int options, int index);
// The extraction counter: reset before and read after an extraction (entries written).
typedef int (*ZARVEX_COUNT_FN)(int counter);
