// The funnel: conditions narrow the candidates one after another through two ping-pong tables
// (all must hold); the conditions a group names are alternatives, each run on its own from the
// source and united, and the remaining conditions narrow that union. Inversion takes the
// candidates that did not come through, once, at the end.
#include "query_run.h"

namespace {

std::u16string Numbered(const char16_t* stem, int depth) { return stem + std::u16string(1, u'0' + depth); }

}  // namespace

bool CQueryRun::ApplyMarks(const std::u16string& table, DWORD tag) {
  if (!(params_.flags & QFLAG_MARKED) || TAG_NUMBER(tag) >= TAG_INTERNAL_NUMBER) return false;
  std::u16string name = table;
  std::vector<DWORD> marked;
  if (!SelectMids(u"select distinct tags.mid" + TagRowsOf(name, u"int_tags") + u"tags.tag=? and tags.value=?;",
                  [&](CSqlStatement& s) {
                    s.BindInt(1, static_cast<int>(QTAG_MARKED_TAGS));
                    s.BindInt(2, static_cast<int>(tag));
                  },
                  &marked) ||
      marked.empty()) {
    return false;
  }
  if (!IsTable(name) && name == results_) {
    MaterializeResults();
    name = results_;
  }
  DeleteMids(name, marked);
  if (params_.flags & QFLAG_WITH_MISSING) addZero_ = true;
  return true;
}

HRESULT CQueryRun::Chain(const std::u16string& source, const std::vector<QueryCondition>& conditions, int depth,
                         std::u16string* current) {
  const std::u16string pingPong[2] = {Numbered(u"funnela", depth), Numbered(u"funnelb", depth)};
  *current = source;
  int next = 0;
  for (const QueryCondition& condition : conditions) {
    if (Cancelled()) return E_ABORT;
    const std::u16string& target = pingPong[next];
    if (!Exec(u"delete from " + target + u";")) return E_FAIL;
    const HRESULT hr = Apply(condition, *current, target);
    if (FAILED(hr)) return hr;
    *current = target;
    next ^= 1;
    ApplyMarks(*current, condition.tag);
  }
  return Status();
}

HRESULT CQueryRun::Funnel(const std::u16string& source) {
  std::u16string current;
  HRESULT hr;
  if (params_.alternatives.empty()) {
    hr = Chain(source, params_.conditions, 0, &current);
  } else {
    const std::u16string united = Numbered(u"groupdst", 0);
    Exec(u"delete from " + united + u";");
    for (const QueryCondition& alternative : params_.alternatives) {
      std::u16string one;
      hr = Chain(source, {alternative}, 1, &one);
      if (FAILED(hr)) return hr;
      if (!Exec(u"insert or replace into " + united + u" select mid from " + one + u";")) return E_FAIL;
    }
    hr = Chain(united, params_.conditions, 0, &current);
  }
  if (FAILED(hr)) return hr;
  if (params_.flags & QFLAG_INVERT) {
    Exec(u"insert or replace into results select mid from " + source + u" except select mid from " + current + u";");
  } else if (params_.preFilters.empty() && !addZero_) {
    // Nothing else goes into results: the rows can be read where they are.
    results_ = current;
  } else if (current != u"results") {
    Exec(u"insert or replace into results select mid from " + current + u";");
  }
  AddMarkedRow();
  return Status();
}

void CQueryRun::AddMarkedRow() {
  if (!addZero_) return;
  MaterializeResults();
  Exec(u"insert or replace into " + results_ + u" values (0);");
}
