// Matching an item against a pattern item: each pattern tag with its operator (QTAG_OPERATOR
// instance of that tag), QTAG_MISSING for tags that must be absent, the multi-valued codes for
// instance-aware tests. The query engine filters detached items with it.
#include "item_reading.h"
#include "media_item.h"
#include "tag_compare.h"

namespace {

// A multi-valued test over every instance of the tag this item carries.
bool AnyInstance(const std::vector<CMediaItem::Entry>& entries, DWORD id, LONG code, const CTagValue& p) {
  for (const auto& [key, value] : entries)
    if (key.id == id && EvaluateOperator(code, value, p)) return true;
  return false;
}

}  // namespace

STDMETHODIMP CMediaItem::Matches(IMediaItem* pattern, BOOL* matched) {
  if (!pattern || !matched) return E_POINTER;
  *matched = FALSE;
  // Patterns name a few tags of the items they select: how many entries each side has says
  // nothing about a match, so only an unreadable count is a failure.
  DWORD count = 0;
  if (FAILED(pattern->GetTagCount(&count))) return E_FAIL;
  for (DWORD i = 0; i < count; ++i) {
    const LONG index = static_cast<LONG>(i);
    DWORD id = 0;
    if (FAILED(pattern->GetTagIdAt(index, &id))) return S_OK;
    if (TAG_NUMBER(id) >= TAG_INTERNAL_NUMBER) {
      LONG lacking = 0;
      if (id == QTAG_MISSING && SUCCEEDED(pattern->GetIntAt(index, &lacking))) {
        const CTagValue* own = Find(static_cast<DWORD>(lacking), 0);
        if (own && !(own->Type() == TAG_TYPE_STR && own->text.empty())) return S_OK;
      }
      continue;
    }
    LONG code = 0;
    DWORD size = sizeof(code);
    if (FAILED(pattern->GetInstance(QTAG_OPERATOR, id, &code, &size)) || code == 0) code = DefaultOperator(id);
    if (!OperatorFitsTag(code, id)) return E_FAIL;

    DWORD instance = 0;
    if (TAG_IS_MULTI(id) && FAILED(pattern->GetInstanceAt(index, &instance))) return S_OK;
    CTagValue p;
    if (!ReadForeignValue(pattern, id, instance, &p)) return S_OK;

    if (!TAG_IS_MULTI(id)) {
      LONG own = -1;
      if (FAILED(IndexOfTagNumber(id, &own)) || !EvaluateOperator(code, *At(own), p)) return S_OK;
      continue;
    }
    const CTagValue* own = Find(id, instance);
    bool ok;
    switch (code) {
      case TAGOP_MULTI_SAME_INSTANCE_EQUAL:
        ok = own && EvaluateOperator(DefaultValueOperator(id), *own, p);
        break;
      case TAGOP_MULTI_SAME_INSTANCE:
        ok = own != nullptr;
        break;
      case TAGOP_MULTI_ANY_EQUAL:
        ok = AnyInstance(Entries(), id, DefaultValueOperator(id), p);
        break;
      case TAGOP_MULTI_NO_INSTANCE:
        ok = own == nullptr;
        break;
      case TAGOP_MULTI_ANY_NOT_EQUAL:
        ok = AnyInstance(Entries(), id, DiffersValueOperator(id), p);
        break;
      default:  // TAGOP_ALWAYS
        ok = true;
        break;
    }
    if (!ok) return S_OK;
  }
  *matched = TRUE;
  return S_OK;
}
