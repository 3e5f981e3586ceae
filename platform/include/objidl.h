// Object interfaces of the COM library: class factories and streams (ISequentialStream,
// IStream with its STATSTG record), as the player, its media library and plug-ins use them.
#pragma once
#include "unknwn.h"

DEFINE_GUID(IID_IClassFactory, 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
DEFINE_GUID(IID_ISequentialStream, 0x0C733A30, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D);
DEFINE_GUID(IID_IStream, 0x0000000C, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

typedef WCHAR OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;

interface IClassFactory : public IUnknown {
  STDMETHOD(CreateInstance)(IUnknown* outer, REFIID riid, void** object) PURE;
  STDMETHOD(LockServer)(BOOL lock) PURE;
};
typedef IClassFactory* LPCLASSFACTORY;

// Seek origins, Stat flags and storage element types.
#define STREAM_SEEK_SET 0
#define STREAM_SEEK_CUR 1
#define STREAM_SEEK_END 2
#define STATFLAG_DEFAULT 0
#define STATFLAG_NONAME 1
#define STGTY_STORAGE 1
#define STGTY_STREAM 2
#define STGTY_LOCKBYTES 3
#define STGTY_PROPERTY 4
#define STGM_READ 0x00000000L
#define STGM_WRITE 0x00000001L
#define STGM_READWRITE 0x00000002L
#define STGC_DEFAULT 0

typedef struct tagSTATSTG {
  LPOLESTR pwcsName;
  DWORD type;
  ULARGE_INTEGER cbSize;
  FILETIME mtime;
  FILETIME ctime;
  FILETIME atime;
  DWORD grfMode;
  DWORD grfLocksSupported;
  CLSID clsid;
  DWORD grfStateBits;
  DWORD reserved;
} STATSTG;

interface ISequentialStream : public IUnknown {
  STDMETHOD(Read)(void* data, ULONG size, ULONG* read) PURE;
  STDMETHOD(Write)(const void* data, ULONG size, ULONG* written) PURE;
};

interface IStream : public ISequentialStream {
  STDMETHOD(Seek)(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) PURE;
  STDMETHOD(SetSize)(ULARGE_INTEGER size) PURE;
  STDMETHOD(CopyTo)(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read, ULARGE_INTEGER* written) PURE;
  STDMETHOD(Commit)(DWORD flags) PURE;
  STDMETHOD(Revert)() PURE;
  STDMETHOD(LockRegion)(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD lockType) PURE;
  STDMETHOD(UnlockRegion)(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD lockType) PURE;
  STDMETHOD(Stat)(STATSTG* stat, DWORD flags) PURE;
  STDMETHOD(Clone)(IStream** clone) PURE;
};
typedef IStream* LPSTREAM;
