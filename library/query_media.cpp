// IMediaLibrary::QueryMedia: which entries match a query item, as a list of library items,
// optionally shuffled, limited in count, in total length or in total size. A cancelled query
// reports E_ABORT and hands out nothing.
#include <string>
#include <vector>

#include "media_list.h"
#include "query_run.h"
#include "query_watcher.h"

namespace {

struct FoundRow {
  DWORD mid;
  std::u16string source;
  std::u16string extra;
  bool hasExtra;
  LONG length;
  LONG size;
};

// The final read: result rows with their source, the preloaded text and the two totals' tags.
std::u16string FinalSelect(const QueryParams& p, bool preload) {
  std::u16string sql = u"select media.mid, media.source";
  sql += preload ? u", str_data.value" : u", NULL";
  // Negative lengths and sizes stand for "unknown" and add nothing to a total.
  sql += u", (select max(value, 0) from int_tags where int_tags.mid=results.mid and int_tags.tag=? and "
         u"int_tags.instance=0), (select max(value, 0) from int_tags where int_tags.mid=results.mid and "
         u"int_tags.tag=? and int_tags.instance=0)";
  sql += u" from results inner join media on results.mid=media.mid ";
  if (preload) {
    sql += u" left join str_tags on results.mid=str_tags.mid and str_tags.tag=? left join str_data on "
           u"str_tags.strid=str_data.strid ";
  }
  sql += (p.flags & QFLAG_RANDOM) ? u" ORDER BY RANDOM() " : u" ORDER BY results.mid ";
  if (p.limit > 0) sql += u" LIMIT ?";
  return sql + u";";
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
    std::vector<FoundRow> rows;
    const bool preload = (params.flags & QFLAG_PRELOAD) && params.extraColumn != 0;
    if (SUCCEEDED(hr)) {
      run.SelectRows(
          FinalSelect(params, preload),
          [&](CSqlStatement& s) {
            int index = 1;
            s.BindInt(index++, static_cast<int>(TAG_LENGTH));
            s.BindInt(index++, static_cast<int>(TAG_SIZE));
            if (preload) s.BindInt(index++, static_cast<int>(params.extraColumn));
            if (params.limit > 0) s.BindInt(index, params.limit);
          },
          [&](const CSqlQuery& row) {
            LPCWSTR extra = row.GetText(2);
            rows.push_back({static_cast<DWORD>(row.GetInt(0, 0)), row.GetText(1, u""), extra ? extra : u"",
                            extra != nullptr, row.GetInt(3, 0), row.GetInt(4, 0)});
          });
      hr = run.Status();
    }
    LONGLONG length = 0, size = 0;
    for (const FoundRow& row : rows) {
      if (FAILED(hr = run.Status())) break;
      // A total maximum ends the list at the first item that would go beyond it.
      if (params.maxLength > 0 && length + row.length > params.maxLength) break;
      if (params.maxSize > 0 && size + row.size > params.maxSize) break;
      length += row.length;
      size += row.size;
      IMediaItem* item = row.hasExtra ? OpenBoundItemWithText(row.mid, row.source.c_str(), params.extraColumn,
                                                              row.extra.c_str(), 0)
                                      : OpenBoundItem(row.mid, row.source.c_str(), 0);
      if (!item) continue;
      list->AddItem(item);
      item->Release();
    }
  }
  if (SUCCEEDED(hr)) hr = list->QueryInterface(IID_IMediaList, reinterpret_cast<void**>(result));
  list->Release();
  return SUCCEEDED(hr) ? S_OK : (hr == E_ABORT || hr == E_PENDING ? hr : E_FAIL);
}
