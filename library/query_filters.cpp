// The caller's filters. Pre-filters see every candidate before the conditions: a row one of
// them takes goes straight into the result, a row they drop goes, and a row none has an opinion
// on stays a candidate for the conditions. Post-filters may drop rows of the result. A negative
// answer from either cancels the query.
#include <string>
#include <utility>
#include <vector>

#include "query_run.h"

namespace {

using Rows = std::vector<std::pair<DWORD, std::u16string>>;

}  // namespace

HRESULT CQueryRun::PreFilter(const char16_t* table) {
  if (params_.preFilters.empty()) return S_OK;
  const std::u16string name(table);
  Rows rows;
  SelectRows(u"select media.mid, media.source from " + name + u" inner join media on " + name + u".mid=media.mid;", {},
             [&](const CSqlQuery& row) {
               rows.emplace_back(static_cast<DWORD>(row.GetInt(0, 0)), std::u16string(row.GetText(1, u"")));
             });
  if (FAILED(Status())) return Status();
  std::vector<DWORD> taken, dropped;
  for (const auto& [mid, source] : rows) {
    if (Cancelled()) return E_ABORT;
    IMediaItem* item = library_->OpenBoundItem(mid, source.c_str(), 0);
    if (!item) continue;  // no item to show: the conditions decide alone
    bool take = false, drop = false;
    for (const auto& [filter, context] : params_.preFilters) {
      DWORD answer = 0;
      const int opinion = filter(item, context, &answer);
      if (opinion < 0) {
        Cancel();
        break;
      }
      if (opinion == 1) continue;
      (answer ? take : drop) = true;
    }
    item->Release();
    if (Cancelled()) return E_ABORT;
    if (take) taken.push_back(mid);
    else if (drop) dropped.push_back(mid);
  }
  InsertMids(u"results", taken);
  DeleteMids(name, taken);
  DeleteMids(name, dropped);
  return Status();
}

HRESULT CQueryRun::PostFilter() {
  if (params_.postFilters.empty()) return S_OK;
  Rows rows;
  SelectRows(u"select media.mid, media.source from results inner join media on results.mid=media.mid;", {},
             [&](const CSqlQuery& row) {
               rows.emplace_back(static_cast<DWORD>(row.GetInt(0, 0)), std::u16string(row.GetText(1, u"")));
             });
  if (FAILED(Status())) return Status();
  std::vector<DWORD> dropped;
  for (const auto& [mid, source] : rows) {
    if (Cancelled()) return E_ABORT;
    IMediaItem* item = library_->OpenBoundItem(mid, source.c_str(), 0);
    if (!item) continue;
    for (const auto& [filter, context] : params_.postFilters) {
      DWORD keep = 1;
      const int answer = filter(item, context, &keep);
      if (answer < 0) {
        Cancel();
        break;
      }
      if (answer == 0 && keep == 0) {
        dropped.push_back(mid);
        break;
      }
    }
    item->Release();
  }
  if (Cancelled()) return E_ABORT;
  DeleteMids(u"results", dropped);
  return Status();
}
