// What the library does about an SQLite failure, by its result code: log it and let the call
// fail, suspend writing, or also close the connection. Shared by the error sink and its tests.
#pragma once

enum class LibraryErrorAction {
  kLogOnly,                 // the call that met it fails; the library goes on
  kSuspendWhileFileExists,  // writes stop, reads go on; closes instead when the file is gone
  kClose,                   // writes stop and the connection closes at the owner's next unlock
};

LibraryErrorAction ErrorActionFor(int code);
