// Reading a query item: parameters by instance of QTAG_PARAMS, callbacks as addresses, and each
// condition (ordinary tags below 30000 and QTAG_MISSING) checked against its operator table.
#include "query_params.h"

#include <algorithm>

#include "item_reading.h"
#include "tag_compare.h"

namespace {

bool ReadParam(IMediaItem* query, DWORD instance, LONG* value) {
  DWORD size = sizeof(*value);
  return SUCCEEDED(query->GetInstance(QTAG_PARAMS, instance, value, &size)) && size == sizeof(*value);
}

// A parameter that may be absent but, when given, must be above 0.
bool ReadPositive(IMediaItem* query, DWORD instance, LONG* value) {
  if (!ReadParam(query, instance, value)) {
    *value = 0;
    return true;
  }
  return *value > 0;
}

template <typename Callback>
void ReadCallbacks(IMediaItem* query, DWORD tag, DWORD contextTag, std::vector<std::pair<Callback, DWORD_PTR>>* out) {
  void* address = nullptr;
  for (DWORD i = 0; GetQueryPointer(query, tag, i, &address) && address; ++i) {
    void* context = nullptr;
    GetQueryPointer(query, contextTag, i, &context);
    out->emplace_back(reinterpret_cast<Callback>(address), reinterpret_cast<DWORD_PTR>(context));
  }
}

bool KnownType(DWORD tag) { return TAG_TYPE(tag) >= TAG_TYPE_STR && TAG_TYPE(tag) <= TAG_TYPE_GUID; }

// Codes a condition may carry: 100; 91-95 on multi-instance tags; the value type's own list.
bool CodeFits(LONG code, DWORD tag) {
  if (code == TAGOP_ALWAYS) return true;
  if (TAG_IS_MULTI(tag) && code >= TAGOP_MULTI_SAME_INSTANCE_EQUAL && code <= TAGOP_MULTI_ANY_NOT_EQUAL) return true;
  return OperatorFitsTag(code, tag & ~TAG_INSTANCE_FLAG);
}

bool NeedsValue(LONG code) {
  return code != TAGOP_ALWAYS && code != TAGOP_MULTI_SAME_INSTANCE && code != TAGOP_MULTI_NO_INSTANCE;
}

HRESULT ReadCondition(IMediaItem* query, DWORD tag, DWORD instance, LONG index, QueryCondition* condition) {
  condition->tag = tag;
  condition->instance = instance;
  if (tag == QTAG_MISSING) {
    LONG missing = 0;
    if (FAILED(query->GetIntAt(index, &missing)) || !KnownType(static_cast<DWORD>(missing)) ||
        TAG_NUMBER(missing) == 0) {
      return E_FAIL;
    }
    condition->missing = static_cast<DWORD>(missing);
    return S_OK;
  }
  if (!KnownType(tag)) return E_FAIL;
  LONG code = 0;
  DWORD size = sizeof(code);
  if (FAILED(query->GetInstance(QTAG_OPERATOR, tag, &code, &size)) || code == 0) code = DefaultOperator(tag);
  condition->negated = (code & QOP_NOT) != 0;
  condition->code = code & ~QOP_NOT;
  if (!CodeFits(condition->code, tag)) return E_FAIL;
  if (!NeedsValue(condition->code)) return S_OK;
  if (!ReadForeignValue(query, tag, instance, &condition->value)) return E_FAIL;
  // A date without a single field set has no text to compare; it would match nothing sensibly.
  if (condition->value.Type() == TAG_TYPE_DATE) {
    std::u16string text;
    if (FAILED(condition->value.ToText(&text)) || text.empty()) return E_FAIL;
  }
  return S_OK;
}

// The tag ids every group names; false when a group is not a whole array of 32-bit words.
bool ReadGroups(IMediaItem* query, DWORD count, std::vector<DWORD>* grouped) {
  for (DWORD i = 0; i < count; ++i) {
    DWORD id = 0;
    if (FAILED(query->GetTagIdAt(static_cast<LONG>(i), &id)) || id != QTAG_GROUPS) continue;
    DWORD size = 0;
    if (FAILED(query->GetBytesAt(static_cast<LONG>(i), nullptr, &size)) || size == 0 || size % sizeof(DWORD)) return false;
    std::vector<DWORD> words(size / sizeof(DWORD));
    if (FAILED(query->GetBytesAt(static_cast<LONG>(i), words.data(), &size))) return false;
    grouped->insert(grouped->end(), words.begin(), words.end());
  }
  return true;
}

}  // namespace

HRESULT ReadQueryParams(IMediaItem* query, QueryParams* params) {
  LONG value = 0;
  if (ReadParam(query, QPARAM_VALUE_TAG, &value)) params->valueTag = static_cast<DWORD>(value);
  if (ReadParam(query, QPARAM_FLAGS, &value)) params->flags = static_cast<DWORD>(value);
  if (ReadParam(query, QPARAM_VALIDITY, &value)) params->validity = value;
  if (!ReadPositive(query, QPARAM_LIMIT, &params->limit) || !ReadPositive(query, QPARAM_MAX_LENGTH, &params->maxLength) ||
      !ReadPositive(query, QPARAM_MAX_SIZE, &params->maxSize)) {
    return E_FAIL;
  }
  if (ReadParam(query, QPARAM_SECOND_TAG, &value)) params->secondTag = static_cast<DWORD>(value);
  for (DWORD i = 0; i < 6; ++i) {
    CTagValue piece;
    if (ReadForeignValue(query, QTAG_VALUE_PIECES, i, &piece)) params->pieces[i] = piece.text;
  }
  ReadCallbacks(query, QTAG_PREFILTER, QTAG_PREFILTER_CONTEXT, &params->preFilters);
  ReadCallbacks(query, QTAG_POSTFILTER, QTAG_POSTFILTER_CONTEXT, &params->postFilters);
  DWORD size = sizeof(value);
  if (SUCCEEDED(query->GetInstance(QTAG_EXTRA_COLUMN, 0, &value, &size)) && TAG_TYPE(value) == TAG_TYPE_STR &&
      !TAG_IS_MULTI(value)) {
    params->extraColumn = static_cast<DWORD>(value);
  }
  void* address = nullptr;
  if (GetQueryPointer(query, QTAG_CANCEL_CALLBACK, 1, &address) && address) {
    params->cancel = reinterpret_cast<QueryCancelCallback>(address);
    void* context = nullptr;
    GetQueryPointer(query, QTAG_CANCEL_CONTEXT, 1, &context);
    params->cancelContext = reinterpret_cast<DWORD_PTR>(context);
  }

  DWORD count = 0;
  if (FAILED(query->GetTagCount(&count))) return E_FAIL;
  std::vector<DWORD> grouped;
  if (!ReadGroups(query, count, &grouped)) return E_FAIL;
  for (DWORD i = 0; i < count; ++i) {
    const LONG index = static_cast<LONG>(i);
    DWORD tag = 0, instance = 0;
    if (FAILED(query->GetTagIdAt(index, &tag))) return E_FAIL;
    if (TAG_NUMBER(tag) >= TAG_INTERNAL_NUMBER && tag != QTAG_MISSING) continue;
    if (TAG_IS_MULTI(tag) && FAILED(query->GetInstanceAt(index, &instance))) return E_FAIL;
    QueryCondition condition;
    if (FAILED(ReadCondition(query, tag, instance, index, &condition))) return E_FAIL;
    const bool inGroup = std::find(grouped.begin(), grouped.end(), tag) != grouped.end();
    (inGroup ? params->alternatives : params->conditions).push_back(std::move(condition));
  }
  return S_OK;
}
