// Writing multi-valued tags the way every tag reader does: the first free instance found by
// probing from a start (ItemWriter remembers where a read's searches ended), and values in the
// byte form of the tag's type.
#pragma once
#include <windows.h>

#include <string>

#include "mediaitem.h"

DWORD FirstFreeInstance(IMediaItem* item, DWORD tag, DWORD from = 0);
HRESULT SetInstanceText(IMediaItem* item, DWORD tag, DWORD instance, const std::u16string& text);
HRESULT SetInstanceInt(IMediaItem* item, DWORD tag, DWORD instance, DWORD value);
HRESULT SetInstanceFloat(IMediaItem* item, DWORD tag, DWORD instance, float value);
HRESULT SetInstanceBytes(IMediaItem* item, DWORD tag, DWORD instance, const void* data, size_t size);
// Sets a single-valued text tag unless the text is empty.
void SetTextTag(IMediaItem* item, DWORD tag, const std::u16string& text);
