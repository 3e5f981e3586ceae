// IMediaItem: the set of typed tags known about one file or stream, as the library, the
// playlists, the skin and the plug-ins exchange it. Every item kind implements these slots.
#pragma once
#include <unknwn.h>
#include <windows.h>

#include <oleauto.h>
#include "tagids.h"

struct IStream;

DEFINE_GUID(IID_IMediaItem, 0x41E0F3C8, 0xA5CF, 0x4822, 0xAB, 0x7D, 0x9A, 0xE1, 0x00, 0xFB, 0x5F, 0xF2);
// Asked for by the read-only view before it forwards its later slots.
DEFINE_GUID(IID_IMediaItemDirect, 0xF3553A46, 0x30F7, 0x4947, 0x9D, 0xC1, 0xEA, 0x1D, 0xF1, 0x08, 0x1F, 0x4F);

// FormatTitle's only mode.
#define MEDIAITEM_TITLE_FORMAT 1

interface IMediaItem : public IUnknown {
  STDMETHOD_(IMediaItem*, Clone)() PURE;
  STDMETHOD(Matches)(IMediaItem* pattern, BOOL* matched) PURE;
  STDMETHOD(GetSource)(BSTR* source) PURE;
  STDMETHOD(GetTagCount)(DWORD* count) PURE;
  STDMETHOD(GetTagName)(DWORD id, BSTR* name) PURE;
  STDMETHOD(GetTagId)(LPCWSTR name, DWORD* id) PURE;
  STDMETHOD(GetTagIdAt)(LONG index, DWORD* id) PURE;
  STDMETHOD(GetInstanceAt)(LONG index, DWORD* instance) PURE;
  STDMETHOD(IndexOfTag)(DWORD id, LONG* index) PURE;
  STDMETHOD(IndexOfTagNumber)(DWORD number, LONG* index) PURE;
  STDMETHOD(GetGuid)(DWORD id, GUID* value) PURE;
  STDMETHOD(GetBytes)(DWORD id, void* buffer, DWORD* size) PURE;
  STDMETHOD(GetSystemTime)(DWORD id, SYSTEMTIME* value) PURE;
  STDMETHOD(GetFileTime)(DWORD id, FILETIME* value) PURE;
  STDMETHOD(GetFloat)(DWORD id, float* value) PURE;
  STDMETHOD(GetInt)(DWORD id, LONG* value) PURE;
  STDMETHOD(GetString)(DWORD id, BSTR* value) PURE;
  STDMETHOD(GetInstance)(DWORD id, DWORD instance, void* buffer, DWORD* size) PURE;
  STDMETHOD(GetGuidAt)(LONG index, GUID* value) PURE;
  STDMETHOD(GetBytesAt)(LONG index, void* buffer, DWORD* size) PURE;
  STDMETHOD(GetSystemTimeAt)(LONG index, SYSTEMTIME* value) PURE;
  STDMETHOD(GetFileTimeAt)(LONG index, FILETIME* value) PURE;
  STDMETHOD(GetFloatAt)(LONG index, float* value) PURE;
  STDMETHOD(GetIntAt)(LONG index, LONG* value) PURE;
  STDMETHOD(GetStringAt)(LONG index, BSTR* value) PURE;
  STDMETHOD(SetGuid)(DWORD id, REFGUID value) PURE;
  STDMETHOD(SetBytes)(DWORD id, const void* data, DWORD size) PURE;
  STDMETHOD(SetSystemTime)(DWORD id, const SYSTEMTIME* value) PURE;
  STDMETHOD(SetFileTime)(DWORD id, const FILETIME* value) PURE;
  STDMETHOD(SetFloat)(DWORD id, float value) PURE;
  STDMETHOD(SetInt)(DWORD id, LONG value) PURE;
  STDMETHOD(SetString)(DWORD id, LPCWSTR value) PURE;
  STDMETHOD(SetInstance)(DWORD id, DWORD instance, const void* data, DWORD size) PURE;
  STDMETHOD(Clear)() PURE;
  STDMETHOD(RemoveTag)(DWORD id) PURE;
  STDMETHOD(RemoveAt)(LONG index) PURE;
  STDMETHOD(IsReadOnlyAt)(LONG index, BOOL* readOnly) PURE;
  STDMETHOD(OpenBlobStream)(DWORD id, DWORD instance, IStream** stream) PURE;
  STDMETHOD(CreateBlobStream)(DWORD id, DWORD instance, IStream** stream, DWORD reserved) PURE;
  STDMETHOD(GetTagIdByNumber)(DWORD number, DWORD* id) PURE;
  STDMETHOD(FormatTitle)(DWORD mode, DWORD lengthHint, LPCWSTR format, BSTR* title, LONG* missing) PURE;
  STDMETHOD(RemoveInstance)(DWORD id, DWORD instance) PURE;
  STDMETHOD(IndexOfInstance)(DWORD id, DWORD instance, LONG* index) PURE;
  STDMETHOD(HasTag)(DWORD id, BOOL* present) PURE;
  STDMETHOD(HasInstance)(DWORD id, DWORD instance, BOOL* present) PURE;
};
