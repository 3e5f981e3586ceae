// CMediaResult: the read-only, sorted set of distinct texts behind IMediaResult, the answer of
// the library's value queries (every genre, every artist), walked with a position handle.
#pragma once
#include <windows.h>

#include <atomic>
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
  struct Position {
    Texts::const_iterator next;
  };

  CMediaResult() = default;
  ~CMediaResult() override;
  HRESULT Hand(Texts::const_iterator at, MEDIARESULTPOS* position, BSTR* text);

  Texts texts_;
  // Handles still out; those a caller abandons go with the set.
  std::set<Position*> positions_;
};

CMediaResult* CreateMediaResult();
