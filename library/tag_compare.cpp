// The operator matrix: which codes belong to which value type and what each one tests.
#include "tag_compare.h"

#include <cstring>

#include "wide_text.h"

namespace {

struct TypeCodes {
  DWORD type;
  LONG first, last, defaultCode, differsCode;
};
constexpr TypeCodes kTypeCodes[] = {
    {TAG_TYPE_STR, 1, 9, 1, 2},    {TAG_TYPE_INT, 21, 24, 21, 24},  {TAG_TYPE_REAL, 21, 24, 21, 24},
    {TAG_TYPE_DATE, 41, 48, 41, 42}, {TAG_TYPE_BLOB, 51, 52, 51, 52}, {TAG_TYPE_GUID, 61, 62, 61, 62},
};

const TypeCodes* CodesOf(DWORD id) {
  for (const TypeCodes& t : kTypeCodes)
    if (t.type == TAG_TYPE(id)) return &t;
  return nullptr;
}

bool Contains(std::u16string_view v, std::u16string_view p, bool caseBlind) {
  return caseBlind ? zblib::FindNoCase(v, p) != std::u16string_view::npos : v.find(p) != std::u16string_view::npos;
}

bool CompareStrings(LONG code, std::u16string_view v, std::u16string_view p) {
  switch (code) {
    case TAGOP_STR_EQUAL: return zblib::EqualNoCase(v, p);
    case TAGOP_STR_NOT_EQUAL: return !zblib::EqualNoCase(v, p);
    case TAGOP_STR_CONTAINS: return Contains(v, p, true);
    case TAGOP_STR_NOT_CONTAINS: return !Contains(v, p, true);
    case TAGOP_STR_EQUAL_CASE: return v == p;
    case TAGOP_STR_NOT_EQUAL_CASE: return v != p;
    case TAGOP_STR_CONTAINS_CASE: return Contains(v, p, false);
    case TAGOP_STR_NOT_CONTAINS_CASE: return !Contains(v, p, false);
    case TAGOP_STR_SEARCH:
      if (v.empty()) return p.empty();
      // A plain word is a plain case-blind search; only the expression characters make it one.
      if (p.find_first_of(u" *^$\"") == std::u16string_view::npos && !p.starts_with(u'-'))
        return Contains(v, p, true);
      return MatchesSearchExpression(v, p);
    default: return false;
  }
}

template <typename T>
bool CompareNumbers(LONG code, T v, T p) {
  switch (code) {
    case TAGOP_NUM_EQUAL: return v == p;
    case TAGOP_NUM_GREATER_EQUAL: return v >= p;
    case TAGOP_NUM_LESS_EQUAL: return v <= p;
    case TAGOP_NUM_NOT_EQUAL: return v != p;
    default: return false;
  }
}

bool CompareDateValues(LONG code, const SYSTEMTIME& v, const SYSTEMTIME& p) {
  if (code < TAGOP_DATE_EQUAL || code > TAGOP_DATE_WILD_ON_OR_BEFORE) return false;
  const bool wildcard = code >= TAGOP_DATE_WILD_EQUAL;
  const int c = CompareDates(v, p, wildcard);
  switch ((code - TAGOP_DATE_EQUAL) % 4) {
    case 0: return c == 0;
    case 1: return c != 0;
    case 2: return c >= 0;
    default: return c <= 0;
  }
}

bool CompareBlobs(LONG code, const CBlobRef* v, const CBlobRef* p) {
  const bool sameHandle = v == p || (v && p && v->Handle() == p->Handle());
  switch (code) {
    case TAGOP_BLOB_EQUAL: return sameHandle || (v && p && CBlobRef::Compare(v, p) == 0);
    case TAGOP_BLOB_NOT_EQUAL: return !sameHandle && (!v || !p || CBlobRef::Compare(v, p) != 0);
    default: return false;
  }
}

}  // namespace

LONG DefaultValueOperator(DWORD id) {
  const TypeCodes* t = CodesOf(id);
  return t ? t->defaultCode : 0;
}

LONG DefaultOperator(DWORD id) { return TAG_IS_MULTI(id) ? TAGOP_MULTI_SAME_INSTANCE_EQUAL : DefaultValueOperator(id); }

LONG DiffersValueOperator(DWORD id) {
  const TypeCodes* t = CodesOf(id);
  return t ? t->differsCode : 0;
}

bool OperatorFitsTag(LONG code, DWORD id) {
  if (code == TAGOP_ALWAYS) return true;
  if (TAG_IS_MULTI(id)) return code >= TAGOP_MULTI_SAME_INSTANCE_EQUAL && code <= TAGOP_MULTI_ANY_NOT_EQUAL;
  const TypeCodes* t = CodesOf(id);
  return t && code >= t->first && code <= t->last;
}

bool EvaluateOperator(LONG code, const CTagValue& v, const CTagValue& p) {
  if (v.id != p.id) return false;
  if (code == TAGOP_ALWAYS) return true;
  switch (v.Type()) {
    case TAG_TYPE_STR: return CompareStrings(code, v.text, p.text);
    case TAG_TYPE_INT: return CompareNumbers(code, v.integer, p.integer);
    case TAG_TYPE_REAL: return CompareNumbers(code, v.real, p.real);
    case TAG_TYPE_DATE: return CompareDateValues(code, v.date, p.date);
    case TAG_TYPE_BLOB: return CompareBlobs(code, v.Blob(), p.Blob());
    case TAG_TYPE_GUID:
      if (code == TAGOP_GUID_EQUAL) return std::memcmp(&v.guid, &p.guid, sizeof(GUID)) == 0;
      if (code == TAGOP_GUID_NOT_EQUAL) return std::memcmp(&v.guid, &p.guid, sizeof(GUID)) != 0;
      return false;
    default: return false;
  }
}
