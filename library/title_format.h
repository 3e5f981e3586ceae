// The title-format language: literal text, tag fields (%Artist%, %5), conditionals
// (%?5<then|else>), optional blocks ([...]) and $functions, evaluated against one media item,
// with the one-entry cache that every item keeps for its last title.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "mediaitem.h"

// Results hold at most 518 characters: a 520-character buffer with an evaluation size of 519.
#define TITLE_BUFFER_CHARS 520
#define TITLE_EVALUATION_SIZE 519

struct TitleCache {
  IMediaItem* item = nullptr;
  std::u16string format;
  std::u16string result;
  LONG missing = 0;

  void Empty() {
    format.clear();
    result.clear();
    missing = 0;
  }
};

// Evaluates from `pos` until `stop` (0: the end of the text) into `out`, which may hold fewer
// than `size` characters; `missing` counts the fields of this level that were absent.
HRESULT EvaluateTitleFormat(IMediaItem* item, std::u16string_view format, size_t* pos, std::u16string* out,
                            size_t size, WCHAR stop, LONG* missing);

// The cached evaluation: the result goes to buffer (size characters with its terminator).
HRESULT FormatTitleString(TitleCache* cache, LPCWSTR format, WCHAR* buffer, DWORD size, LONG* missing);

// The FormatTitle slot of every item kind: empties the cache when the item changed since the
// last call (and clears `changed`), then formats into a new BSTR.
HRESULT FormatItemTitle(TitleCache* cache, BOOL* changed, DWORD mode, LPCWSTR format, BSTR* title, LONG* missing);
