// IMediaLibrary::QueryValues: the distinct values one tag takes among the matching entries, as a
// sorted set of texts in the form items give them; optionally date parts instead of whole dates,
// compound texts built with a second string tag, and an empty text for entries that lack the tag.
#include <string>

#include "media_result.h"
#include "query_run.h"
#include "query_watcher.h"
#include "sql_database.h"
#include "tag_tables.h"

namespace {

constexpr const char16_t* kDateParts[] = {u"%Y", u"-%m", u"-%d", u" %H", u":%M", u":%S"};

std::u16string Literal(const std::u16string& text) { return u"'" + EscapeQuotes(text.c_str()) + u"'"; }

constexpr const char16_t* kStringData = u"inner join str_data data on tags.strid=data.strid";

// The compound text: the pieces around V's text and S's text (or the pieces for a missing S).
std::u16string CompoundSelect(const QueryParams& p, const std::u16string& results) {
  auto piece = [&](int i) { return p.pieces[i]; };
  std::u16string present = u" match.value ";
  if (!piece(0).empty()) present = Literal(piece(0)) + u" || " + present;
  if (!piece(1).empty()) present += u" || " + Literal(piece(1));
  present += u" || str_data.value ";
  if (!piece(2).empty()) present += u" || " + Literal(piece(2));
  if (!piece(5).empty()) present += u" || " + Literal(piece(5)) + u" || str_data.slen ";
  std::u16string missing = u" match.value ";
  if (!piece(3).empty()) missing = Literal(piece(3)) + u" || " + missing;
  if (!piece(4).empty()) missing += u" || " + Literal(piece(4));
  if (!piece(5).empty()) missing += u" || " + Literal(piece(5)) + u" || '0' ";
  std::u16string sql = u"select case when str_data.value IS NULL ";
  if (p.flags & QFLAG_EMPTY_SECOND_MISSING) sql += u" OR str_data.slen = 0 ";
  sql += u" then " + missing + u" else " + present + u" end ";
  sql += u" from (select tags.mid as mid, data.value as value" + CQueryRun::TagRowsOf(results, u"str_tags", kStringData) +
         u"tags.tag=?) as match left join str_tags on match.mid=str_tags.mid and str_tags.tag=? left join str_data on "
         u"str_tags.strid=str_data.strid;";
  return sql;
}

std::u16string ValueSelect(const QueryParams& p, const std::u16string& results) {
  const DWORD v = p.valueTag;
  switch (TAG_TYPE(v)) {
    case TAG_TYPE_STR:
      return u"select data.value" + CQueryRun::TagRowsOf(results, u"str_tags", kStringData) +
             u"tags.tag=? group by data.strid;";
    case TAG_TYPE_DATE:
      if (p.flags & 0xFC0) {
        std::u16string format;
        for (int bit = 0; bit < 6; ++bit)
          if (p.flags & (QFLAG_DATE_YEAR << bit)) format += kDateParts[bit];
        return u"select strftime('" + format + u"', tags.dvalue) as field" + CQueryRun::TagRowsOf(results, u"date_tags") +
               u"tags.tag=? group by field;";
      }
      return u"select tags.svalue" + CQueryRun::TagRowsOf(results, u"date_tags") + u"tags.tag=? group by tags.svalue;";
    case TAG_TYPE_BLOB:
      return u"select data.bsize" +
             CQueryRun::TagRowsOf(results, u"blob_tags", u"inner join blob_data data on tags.blobid=data.blobid") +
             u"tags.tag=? group by data.blobid;";
    default:
      return u"select tags.value" + CQueryRun::TagRowsOf(results, TagTableName(v)) + u"tags.tag=? group by tags.value;";
  }
}

// A value column in the text form an item gives the value.
std::u16string ValueText(DWORD tag, const CSqlQuery& row) {
  CTagValue value;
  switch (TAG_TYPE(tag)) {
    case TAG_TYPE_INT: value.SetInt(row.GetInt(0, 0)); break;
    case TAG_TYPE_REAL: value.SetFloat(static_cast<float>(row.GetDouble(0, 0))); break;
    case TAG_TYPE_GUID: {
      int size = 0;
      const void* bytes = row.GetBlob(0, &size);
      if (!bytes || size != sizeof(GUID)) return {};
      return GuidToText(*static_cast<const GUID*>(bytes));
    }
    case TAG_TYPE_BLOB:
      return u"(Binary data, " + std::u16string(row.GetText(0, u"0")) + u" bytes)";
    default: return row.GetText(0, u"");
  }
  std::u16string text;
  value.ToText(&text);
  return text;
}

}  // namespace

STDMETHODIMP CMediaLibrary::QueryValues(IMediaItem* query, IMediaResult** result) {
  if (result) *result = nullptr;
  if (!query || !result) return E_FAIL;
  QueryParams params;
  if (FAILED(ReadQueryParams(query, &params))) return E_FAIL;
  const DWORD v = params.valueTag;
  if (TAG_NUMBER(v) == 0 || TAG_NUMBER(v) >= TAG_INTERNAL_NUMBER || TAG_TYPE(v) < TAG_TYPE_STR ||
      TAG_TYPE(v) > TAG_TYPE_GUID) {
    return E_FAIL;
  }
  const bool compound = TAG_TYPE(v) == TAG_TYPE_STR && TAG_TYPE(params.secondTag) == TAG_TYPE_STR &&
                        TAG_NUMBER(params.secondTag) != 0;
  CMediaResult* values = CreateMediaResult();
  if (!values) return E_FAIL;
  ChangeMode(0, LIBMODE_TEMP_TAGS);
  CQueryWatcher watcher(params.cancel, params.cancelContext);
  HRESULT hr;
  {
    CLibraryLock lock(this);
    if (!db_) {
      values->Release();
      return E_FAIL;
    }
    CQueryRun run(this, params, watcher.Flag());
    hr = run.Narrow(u"GVSC");
    // Entries marked for the value tag give no value; with QFLAG_WITH_MISSING they count as lacking it.
    if (SUCCEEDED(hr) && run.ApplyMarks(run.Results(), v)) run.AddMarkedRow();
    if (SUCCEEDED(hr)) hr = run.PostFilter();
    if (SUCCEEDED(hr)) {
      run.SelectRows(compound ? CompoundSelect(params, run.Results()) : ValueSelect(params, run.Results()),
                     [&](CSqlStatement& s) {
                       s.BindInt(1, static_cast<int>(v));
                       if (compound) s.BindInt(2, static_cast<int>(params.secondTag));
                     },
                     [&](const CSqlQuery& row) { values->AddText(compound ? row.GetText(0, u"") : ValueText(v, row)); });
      hr = run.Status();
    }
    if (SUCCEEDED(hr) && (params.flags & QFLAG_WITH_MISSING)) {
      const std::u16string table = TagTableName(v);
      std::vector<DWORD> lacking;
      run.SelectMids(u"select results.mid from " + run.Results() + u" results where not exists (select 1 from " + table +
                         u" where " + table + u".mid=results.mid and " + table + u".tag=?) limit 1;",
                     [&](CSqlStatement& s) { s.BindInt(1, static_cast<int>(v)); }, &lacking);
      if (!lacking.empty()) values->AddText(u"");
      hr = run.Status();
    }
  }
  if (SUCCEEDED(hr)) hr = values->QueryInterface(IID_IMediaResult, reinterpret_cast<void**>(result));
  values->Release();
  return SUCCEEDED(hr) ? S_OK : (hr == E_ABORT || hr == E_PENDING ? hr : E_FAIL);
}
