// CQueryRun: one run of the query engine under the library lock. It narrows the candidate
// entries in the temporary mid tables condition by condition, lets the caller's filters take or
// drop rows, and leaves every working table empty when it ends. Long reads are interruptible by
// the cancel flag; writes never are, so a cancel can't roll back the library's open batch.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "media_library.h"
#include "query_params.h"

class CQueryRun {
 public:
  using Binder = std::function<void(CSqlStatement&)>;

  // Begins a transaction, watches for the cancel flag inside long reads. Call under the lock
  // with an open database.
  CQueryRun(CMediaLibrary* library, const QueryParams& params, std::atomic<bool>& cancelled);
  ~CQueryRun();
  CQueryRun(const CQueryRun&) = delete;
  CQueryRun& operator=(const CQueryRun&) = delete;

  bool Cancelled() const { return cancelled_.load(); }
  void Cancel() { cancelled_.store(true); }
  // E_ABORT when cancelled, E_FAIL when a statement failed, else S_OK.
  HRESULT Status() const;

  // Candidates, pre-filters and funnel: the matching entries into results, from the candidates
  // (put into `table`, GVMM or GVSC, when the pre-filters need them there).
  HRESULT Narrow(const char16_t* table);
  // The entries whose `valid` is at least the validity mode's minimum. Only the pre-filters
  // change the candidate set, so only for them is it copied into `table`; the conditions
  // otherwise read it in place from media, which spares a copy of every entry per query.
  HRESULT Candidates(const char16_t* table);
  // The pre-filters' pass over `table`: taken rows go to results, dropped rows go, the rest stay.
  HRESULT PreFilter(const char16_t* table);
  // The conditions from `source` (a table or the candidates in place) into results.
  HRESULT Funnel(const std::u16string& source);
  // What holds the matching entries once the funnel ran: results, the funnel's last table when
  // results would only have been a copy of it, or the candidates in place (a subquery). Read it
  // under the name "results".
  const std::u16string& Results() const { return results_; }
  // True when the results are the candidates in place: the final read can then take the entries
  // straight from media, those whose `valid` is at least Minimum().
  bool ResultsInPlace() const { return !IsTable(results_); }
  // A table's name, rather than the candidates in place.
  static bool IsTable(const std::u16string& source) { return !source.empty() && source.front() != u'('; }
  // " from `table` tags `joins` ... where ", limited to the entries of `source` and ready for
  // tests on tags: the entries of a table are looked up one by one in the tag table's key, the
  // candidates in place are joined last, so that the planner walks the tag's index.
  static std::u16string TagRowsOf(const std::u16string& source, const std::u16string& table,
                                  const std::u16string& joins = {});
  LONG Minimum() const { return minimum_; }
  // Items marked for `tag` leave `table` (QFLAG_MARKED); true when some did.
  bool ApplyMarks(const std::u16string& table, DWORD tag);
  // The mid-0 row that stands for entries the marks removed, when QFLAG_WITH_MISSING asks to
  // count them; marks applied after the funnel (the value tag's) need it added again.
  void AddMarkedRow();
  HRESULT PostFilter();

  // Reads mids (the first column) with the cancel flag able to cut the read short; false when
  // the read failed or was cancelled.
  bool SelectMids(const std::u16string& sql, const Binder& bind, std::vector<DWORD>* mids);
  // Rows of any shape, one callback per row, interruptible like SelectMids.
  bool SelectRows(const std::u16string& sql, const Binder& bind, const std::function<void(const CSqlQuery&)>& row);
  bool InsertMids(const std::u16string& table, const std::vector<DWORD>& mids);
  bool DeleteMids(const std::u16string& table, const std::vector<DWORD>& mids);
  bool Exec(const std::u16string& sql, const Binder& bind = {});
  CSqlStatement* Statement(const std::u16string& sql);

  CMediaLibrary* Library() const { return library_; }
  const QueryParams& Params() const { return params_; }

 private:
  static int Progress(void* self);
  // Copies results read in place into the results table, before anything removes or adds rows.
  void MaterializeResults();
  HRESULT Chain(const std::u16string& source, const std::vector<QueryCondition>& conditions, int depth,
                std::u16string* current);
  HRESULT Apply(const QueryCondition& condition, const std::u16string& source, const std::u16string& target);
  bool Matching(const QueryCondition& condition, const std::u16string& source, std::vector<DWORD>* mids);
  bool Missing(const QueryCondition& condition, const std::u16string& source, std::vector<DWORD>* mids);
  bool DatesMatching(const QueryCondition& condition, const std::u16string& source, std::vector<DWORD>* mids);

  CMediaLibrary* library_;
  CSqlDatabase* db_;
  const QueryParams& params_;
  std::atomic<bool>& cancelled_;
  bool reading_ = false;   // a read-only statement runs: the cancel may cut it
  bool silenced_ = false;  // the library's error log was turned off for a cut read
  bool failed_ = false;
  bool addZero_ = false;   // the marks removed items and QFLAG_WITH_MISSING wants them counted
  std::u16string candidates_;
  LONG minimum_ = 1;
  std::u16string results_ = u"results";
};
