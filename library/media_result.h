// CMediaResult: the read-only, sorted set of distinct texts behind IMediaResult, the answer of
// the library's value queries (every genre, every artist), walked with a position handle.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "com_object.h"
#include "medialist.h"

class CMediaResult : public CComObject<IMediaResult> {
 public:
  static CMediaResult* Create();

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP GetCount(DWORD* count) override;
  STDMETHODIMP GetFirst(MEDIARESULTPOS* position, BSTR* text) override;
  STDMETHODIMP GetNext(MEDIARESULTPOS* position, BSTR* text) override;

  // Filled by the query engine before the set is handed out; a text equal to one already held
  // apart from case is dropped, so the first spelling stays.
  void AddText(std::u16string_view text);

 private:
  struct NoCaseLess {
    bool operator()(const std::u16string& a, const std::u16string& b) const;
  };
  using Texts = std::set<std::u16string, NoCaseLess>;

  CMediaResult() = default;
  ~CMediaResult() override = default;
  HRESULT Hand(Texts::const_iterator at, MEDIARESULTPOS* position, BSTR* text);

  Texts texts_;
  // Handles still out, by a serial number that is never reused, so a stale handle can never
  // pass for a live one; those a caller abandons go with the set.
  std::map<uintptr_t, Texts::const_iterator> positions_;
  uintptr_t nextPosition_ = 1;
};

CMediaResult* CreateMediaResult();
