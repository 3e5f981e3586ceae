// The object store's databases: records of typed properties, read and deleted one by one.
#pragma once
#include "windef.h"
#include "winbase.h"

typedef DWORD CEOID;
typedef CEOID* PCEOID;
typedef DWORD CEPROPID;
typedef CEPROPID* PCEPROPID;

#define CEVT_I2 2
#define CEVT_I4 3
#define CEVT_R8 5
#define CEVT_BOOL 11
#define CEVT_UI2 18
#define CEVT_UI4 19
#define CEVT_LPWSTR 31
#define CEVT_FILETIME 64
#define CEVT_BLOB 65
#define TypeFromPropID(propid) LOWORD(propid)

#define CEDB_ALLOWREALLOC 0x00000001
#define CEDB_AUTOINCREMENT 0x00000001

#define CEDB_SEEK_CEOID 0x00000001
#define CEDB_SEEK_BEGINNING 0x00000010
#define CEDB_SEEK_CURRENT 0x00000020
#define CEDB_SEEK_END 0x00000040

typedef struct _CEBLOB {
  DWORD dwCount;
  LPBYTE lpb;
} CEBLOB;

typedef union _CEVALUNION {
  short iVal;
  USHORT uiVal;
  LONG lVal;
  ULONG ulVal;
  FILETIME filetime;
  LPWSTR lpwstr;
  CEBLOB blob;
  BOOL boolVal;
  double dblVal;
} CEVALUNION;

typedef struct _CEPROPVAL {
  CEPROPID propid;
  WORD wLenData;
  WORD wFlags;
  CEVALUNION val;
} CEPROPVAL, *PCEPROPVAL;

extern "C" {

HANDLE CeOpenDatabase(PCEOID oid, LPWSTR name, CEPROPID sort, DWORD flags, HWND notify);
CEOID CeReadRecordProps(HANDLE database, DWORD flags, LPWORD propCount, CEPROPID* props, LPBYTE* buffer,
                        LPDWORD bufferSize);
CEOID CeSeekDatabase(HANDLE database, DWORD seekType, DWORD value, LPDWORD index);
BOOL CeDeleteRecord(HANDLE database, CEOID record);

}  // extern "C"
