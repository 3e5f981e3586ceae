// IMediaLibrary::QueryMedia: which entries match a query item, as a list of library items,
// optionally shuffled, limited in count, in total length or in total size. A cancelled query
// reports E_ABORT and hands out nothing. The list makes each row's item when it is first asked for.
#include <string>
#include <vector>

#include "media_list.h"
#include "query_run.h"
#include "query_watcher.h"
#include "utf8_text.h"

namespace {

// A total's tag, read in the final select only when that total is limited.
std::u16string TotalColumn(LONG maximum) {
  // Negative lengths and sizes stand for "unknown" and add nothing to a total.
  return maximum > 0 ? u", (select max(value, 0) from int_tags where int_tags.mid=media.mid and int_tags.tag=? "
                       u"and int_tags.instance=0)"
                     : u", 0";
}

// The final read: result rows with their source, the preloaded text and the limited totals' tags.
std::u16string FinalSelect(const QueryParams& p, bool preload, const CQueryRun& run) {
  std::u16string sql = u"select media.mid, media.source";
  sql += preload ? u", str_data.value" : u", NULL";
  sql += TotalColumn(p.maxLength) + TotalColumn(p.maxSize);
  // Media leads, in mid order, taking the results' rows by their key; a join led by a results
  // table would have the planner filter the whole tag table first, for want of its statistics.
  sql += u" from media ";
  if (preload) {
    sql += u" left join str_tags on media.mid=str_tags.mid and str_tags.tag=? left join str_data on "
           u"str_tags.strid=str_data.strid ";
  }
  sql += run.ResultsInPlace() ? u" where media.valid >= " + Utf8ToWide(std::to_string(run.Minimum()))
                              : u" where media.mid in (select mid from " + run.Results() + u")";
  sql += (p.flags & QFLAG_RANDOM) ? u" ORDER BY RANDOM() " : u" ORDER BY media.mid ";
  if (p.limit > 0) sql += u" LIMIT ?";
  return sql + u";";
}

// A column's text as the list keeps it: ASCII as stored, anything else as the UTF-16 that an
// item would have been given. Either ends at the first NUL, as the item's text would.
ListedText TextOf(const CSqlQuery& row, int column) {
  const char* narrow = row.GetUtf8(column);
  if (!narrow) return {};
  size_t length = 0;
  bool ascii = true;
  for (; narrow[length]; ++length) ascii = ascii && static_cast<unsigned char>(narrow[length]) < 0x80;
  if (ascii) return {narrow, length, false};
  LPCWSTR wide = row.GetText(column);
  return wide ? ListedText{wide, std::char_traits<char16_t>::length(wide), true} : ListedText{};
}

}  // namespace

STDMETHODIMP CMediaLibrary::QueryMedia(IMediaItem* query, IMediaList** result) {
  if (result) *result = nullptr;
  if (!query || !result) return E_FAIL;
  QueryParams params;
  if (FAILED(ReadQueryParams(query, &params))) return E_FAIL;
  CMediaList* list = CreateMediaList();
  if (!list) return E_FAIL;
  ChangeMode(0, LIBMODE_TEMP_TAGS);
  // Stopped only after the lock is let go: its callback may be waiting for the lock.
  CQueryWatcher watcher(params.cancel, params.cancelContext);
  HRESULT hr;
  {
    CLibraryLock lock(this);
    if (!db_) {
      list->Release();
      return E_FAIL;
    }
    CQueryRun run(this, params, watcher.Flag());
    hr = run.Narrow(u"GVMM");
    if (SUCCEEDED(hr)) hr = run.PostFilter();
    const bool preload = (params.flags & QFLAG_PRELOAD) && params.extraColumn != 0;
    LONGLONG length = 0, size = 0;
    bool full = false;  // a total maximum was reached: the rest of the rows are not wanted
    if (SUCCEEDED(hr)) {
      run.SelectRows(
          FinalSelect(params, preload, run),
          [&](CSqlStatement& s) {
            int index = 1;
            if (params.maxLength > 0) s.BindInt(index++, static_cast<int>(TAG_LENGTH));
            if (params.maxSize > 0) s.BindInt(index++, static_cast<int>(TAG_SIZE));
            if (preload) s.BindInt(index++, static_cast<int>(params.extraColumn));
            if (params.limit > 0) s.BindInt(index, params.limit);
          },
          [&](const CSqlQuery& row) {
            if (full) return;
            const LONG rowLength = params.maxLength > 0 ? row.GetInt(3, 0) : 0;
            const LONG rowSize = params.maxSize > 0 ? row.GetInt(4, 0) : 0;
            // A total maximum ends the list at the first item that would go beyond it.
            if ((params.maxLength > 0 && length + rowLength > params.maxLength) ||
                (params.maxSize > 0 && size + rowSize > params.maxSize)) {
              full = true;
              return;
            }
            length += rowLength;
            size += rowSize;
            // Each row becomes its library item when somebody first asks for it.
            const DWORD mid = static_cast<DWORD>(row.GetInt(0, 0));
            const ListedText source = TextOf(row, 1);
            list->AddRow(this, preload ? params.extraColumn : 0, mid, source, TextOf(row, 2));
          });
      hr = run.Status();
    }
  }
  if (SUCCEEDED(hr)) hr = list->QueryInterface(IID_IMediaList, reinterpret_cast<void**>(result));
  list->Release();
  return SUCCEEDED(hr) ? S_OK : (hr == E_ABORT || hr == E_PENDING ? hr : E_FAIL);
}
