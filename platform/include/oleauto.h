// OLE automation helpers: BSTR allocation and VARIANT basics. A BSTR carries its length in
// bytes just before its first character and is always terminated.
#pragma once
#include "oaidl.h"

extern "C" {

BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);

void VariantInit(VARIANTARG* value);
HRESULT VariantClear(VARIANTARG* value);
HRESULT VariantCopy(VARIANTARG* target, const VARIANTARG* source);

}  // extern "C"
