// The user SQL functions the library registers on its connection: the case-blind text tests
// that queries use, and the two that schema triggers call back into the library with.
#pragma once
#include <windows.h>

class CSqlDatabase;

// What the trigger functions hand to the library.
class ISqlFunctionHost {
 public:
  // A blob_data row is about to go (blobremoved).
  virtual void OnBlobRemoved(LONG blobId, const void* bytes, DWORD size, DWORD crc) = 0;
  // Whether a listener wants LIBEVENT_VALUE_REMOVED for this tag (stringremoved without value).
  virtual bool WantsValueRemoved(DWORD tag) = 0;
  // The last use of a string value by a tag went (stringremoved with the value).
  virtual void OnValueRemoved(DWORD tag, DWORD instance, LPCWSTR value) = 0;

 protected:
  ~ISqlFunctionHost() = default;
};

// Registers the seven functions in their order; the first failure's SQLite code, or 0.
int RegisterLibraryFunctions(CSqlDatabase& db, ISqlFunctionHost* host);

// Calls of wlike, wcontains, wcontainscase and wstartswith in this process; the query engine
// resets the count.
LONG TextFunctionCalls();
void ResetTextFunctionCalls();
