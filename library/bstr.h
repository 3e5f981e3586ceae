// BSTR texts, as the library's interfaces hand them out and callers free them. The platform's
// OLE automation room does not exist yet; until it lands, bstr.cpp supplies these with the
// platform's layout (the byte count stored before the text) and is then deleted.
#pragma once
#include <windows.h>

typedef WCHAR OLECHAR;
typedef WCHAR* BSTR;

extern "C" {
BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
}
