// What the query engine reads off a query item before it touches the database: the parameters,
// the callbacks, and the conditions with their operators and typed values, all checked up front
// so that a bad query fails whole instead of half way.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "querytags.h"
#include "tag_value.h"

struct QueryCondition {
  DWORD tag = 0;       // the condition's tag id, or QTAG_MISSING
  DWORD instance = 0;  // for multi-instance tags
  LONG code = 0;       // operator without the negation bit
  bool negated = false;
  CTagValue value;     // the typed value to compare with (unused by 92, 94, 100)
  DWORD missing = 0;   // QTAG_MISSING: the tag that must be missing or empty
};

struct QueryParams {
  DWORD valueTag = 0;  // QueryValues: 0 when not given
  DWORD flags = 0;
  LONG validity = QVALID_PRESENT;
  LONG limit = 0;      // 0: not given (a given 0 is refused)
  LONG maxLength = 0;
  LONG maxSize = 0;
  DWORD secondTag = 0;
  std::u16string pieces[6];  // empty: not given
  std::vector<std::pair<QueryPreFilter, DWORD_PTR>> preFilters;
  std::vector<std::pair<QueryPostFilter, DWORD_PTR>> postFilters;
  DWORD extraColumn = 0;  // in force only with QFLAG_PRELOAD and a single string tag
  QueryCancelCallback cancel = nullptr;
  DWORD_PTR cancelContext = 0;
  std::vector<QueryCondition> conditions;    // all required
  std::vector<QueryCondition> alternatives;  // named by QTAG_GROUPS: at least one must hold
};

// S_OK, or E_FAIL for a query that can't run: a parameter given as 0 or below where that is
// refused, an operator foreign to its tag, a value that does not convert, an unreadable group.
HRESULT ReadQueryParams(IMediaItem* query, QueryParams* params);
