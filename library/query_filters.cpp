// The caller's filters. Pre-filters see every candidate before the conditions: a row one of
// them takes goes straight into the result, a row they drop goes, and a row none has an opinion
// on stays a candidate for the conditions. Post-filters may drop rows of the result. A negative
// answer from either cancels the query.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "query_run.h"

namespace {

// Shows each row of `table` to `visit` as a library item, until the query is cancelled.
HRESULT ForEachItem(CQueryRun& run, const std::u16string& table, const std::function<void(DWORD, IMediaItem*)>& visit) {
  std::vector<std::pair<DWORD, std::u16string>> rows;
  run.SelectRows(u"select media.mid, media.source from " + table + u" inner join media on " + table + u".mid=media.mid;",
                 {}, [&](const CSqlQuery& row) {
                   rows.emplace_back(static_cast<DWORD>(row.GetInt(0, 0)), std::u16string(row.GetText(1, u"")));
                 });
  for (const auto& [mid, source] : rows) {
    if (FAILED(run.Status())) break;
    IMediaItem* item = run.Library()->OpenBoundItem(mid, source.c_str(), 0);
    if (!item) continue;  // no item to show: the conditions decide alone
    visit(mid, item);
    item->Release();
  }
  return run.Status();
}

}  // namespace

HRESULT CQueryRun::PreFilter(const char16_t* table) {
  if (params_.preFilters.empty()) return S_OK;
  const std::u16string name(table);
  std::vector<DWORD> taken, dropped;
  const HRESULT hr = ForEachItem(*this, name, [&](DWORD mid, IMediaItem* item) {
    bool take = false, drop = false;
    for (const auto& [filter, context] : params_.preFilters) {
      DWORD answer = 0;
      const int opinion = filter(item, context, &answer);
      if (opinion < 0) return Cancel();
      if (opinion != 1) (answer ? take : drop) = true;
    }
    if (take) taken.push_back(mid);
    else if (drop) dropped.push_back(mid);
  });
  if (FAILED(hr)) return hr;
  InsertMids(u"results", taken);
  DeleteMids(name, taken);
  DeleteMids(name, dropped);
  return Status();
}

HRESULT CQueryRun::PostFilter() {
  if (params_.postFilters.empty()) return S_OK;
  MaterializeResults();
  std::vector<DWORD> dropped;
  const HRESULT hr = ForEachItem(*this, results_, [&](DWORD mid, IMediaItem* item) {
    for (const auto& [filter, context] : params_.postFilters) {
      DWORD keep = 1;
      const int answer = filter(item, context, &keep);
      if (answer < 0) return Cancel();
      if (answer == 0 && keep == 0) return dropped.push_back(mid);
    }
  });
  if (FAILED(hr)) return hr;
  DeleteMids(results_, dropped);
  return Status();
}
