// VARIANT basics: initialise, clear (freeing the BSTR or releasing the interface it owns) and
// copy (duplicating the BSTR, adding a reference to the interface). Arrays and types this
// layer does not carry are refused with DISP_E_BADVARTYPE and left untouched.
#include <oleauto.h>

namespace {

constexpr VARTYPE kPlainTypes[] = {VT_EMPTY, VT_NULL, VT_I2,   VT_I4,   VT_R4,  VT_R8,  VT_CY,
                                   VT_DATE,  VT_BSTR, VT_DISPATCH, VT_ERROR, VT_BOOL, VT_UNKNOWN, VT_I1,
                                   VT_UI1,   VT_UI2,  VT_UI4,  VT_I8,   VT_UI8, VT_INT, VT_UINT};

bool Carried(VARTYPE vt) {
  VARTYPE base = vt & ~VT_BYREF;
  if ((vt & VT_BYREF) && base == VT_VARIANT) return true;
  if (vt & ~(VT_BYREF | VT_TYPEMASK)) return false;  // arrays and unknown flags
  for (VARTYPE t : kPlainTypes)
    if (t == base) return !((vt & VT_BYREF) && (base == VT_EMPTY || base == VT_NULL));
  return false;
}

}  // namespace

extern "C" void VariantInit(VARIANTARG* value) {
  if (!value) return;
  value->vt = VT_EMPTY;
  value->wReserved1 = value->wReserved2 = value->wReserved3 = 0;
  value->llVal = 0;
}

extern "C" HRESULT VariantClear(VARIANTARG* value) {
  if (!value) return E_INVALIDARG;
  if (!Carried(value->vt)) return DISP_E_BADVARTYPE;
  switch (value->vt) {
    case VT_BSTR:
      SysFreeString(value->bstrVal);
      break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      if (value->punkVal) value->punkVal->Release();
      break;
    default:
      break;  // by-reference values are not owned
  }
  VariantInit(value);
  return S_OK;
}

extern "C" HRESULT VariantCopy(VARIANTARG* target, const VARIANTARG* source) {
  if (!target || !source) return E_INVALIDARG;
  if (target == source) return S_OK;
  if (!Carried(source->vt)) return DISP_E_BADVARTYPE;
  VARIANT copy = *source;
  if (source->vt == VT_BSTR && source->bstrVal) {
    copy.bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
    if (!copy.bstrVal) return E_OUTOFMEMORY;
  }
  if (HRESULT hr = VariantClear(target); FAILED(hr)) {
    if (copy.vt == VT_BSTR) SysFreeString(copy.bstrVal);
    return hr;
  }
  if ((copy.vt == VT_UNKNOWN || copy.vt == VT_DISPATCH) && copy.punkVal) copy.punkVal->AddRef();
  *target = copy;
  return S_OK;
}
