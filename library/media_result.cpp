// CMediaResult: the text set and its position handles. A handle is only honoured when this set
// made it and it is still live, so a stale or foreign handle fails instead of being followed.
#include "media_result.h"

#include <iterator>
#include <new>

#include "wide_text.h"

bool CMediaResult::NoCaseLess::operator()(const std::u16string& a, const std::u16string& b) const {
  return zblib::CompareNoCase(a, b) < 0;
}

CMediaResult* CMediaResult::Create() { return new (std::nothrow) CMediaResult(); }
CMediaResult* CreateMediaResult() { return CMediaResult::Create(); }

STDMETHODIMP CMediaResult::QueryInterface(REFIID riid, void** object) {
  return Answer(riid, object, {IID_IMediaResult});
}

void CMediaResult::AddText(std::u16string_view text) { texts_.emplace(text); }

STDMETHODIMP CMediaResult::GetCount(DWORD* count) {
  if (!count) return E_FAIL;
  *count = static_cast<DWORD>(texts_.size());
  return S_OK;
}

HRESULT CMediaResult::Hand(Texts::const_iterator at, MEDIARESULTPOS* position, BSTR* text) {
  if (FAILED(zblib::NewBstr(*at, text))) return E_FAIL;
  const uintptr_t serial = nextPosition_++;
  positions_.emplace(serial, std::next(at));
  *position = reinterpret_cast<MEDIARESULTPOS>(serial);
  return S_OK;
}

STDMETHODIMP CMediaResult::GetFirst(MEDIARESULTPOS* position, BSTR* text) {
  if (!position || !text) return E_FAIL;
  *position = nullptr;
  *text = nullptr;
  if (texts_.empty()) return E_FAIL;
  return Hand(texts_.begin(), position, text);
}

STDMETHODIMP CMediaResult::GetNext(MEDIARESULTPOS* position, BSTR* text) {
  if (!position || !*position || !text) return E_FAIL;
  *text = nullptr;
  auto live = positions_.find(reinterpret_cast<uintptr_t>(*position));
  if (live == positions_.end()) return E_FAIL;
  *position = nullptr;
  const Texts::const_iterator at = live->second;
  positions_.erase(live);
  if (at == texts_.end()) return E_FAIL;
  return Hand(at, position, text);
}
