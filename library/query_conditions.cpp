// One condition of a query: the rows of a source table that satisfy it, read as mids and
// written to the target table. Each operator code is one SQL test from a table; dates are
// compared field by field as dates (partial dates and wildcards included), not as texts.
#include <algorithm>

#include "blob_checksum.h"
#include "query_run.h"
#include "tag_compare.h"
#include "tag_tables.h"

namespace {

struct OperatorTest {
  LONG code;
  const char16_t* test;  // over tags.value (data.value for strings); ? is the value
};

constexpr OperatorTest kTests[] = {
    {TAGOP_STR_EQUAL, u"WLIKE(data.value, ?)"},
    {TAGOP_STR_NOT_EQUAL, u"WLIKE(data.value, ?) = 0"},
    {TAGOP_STR_CONTAINS, u"WCONTAINS(data.value, ?)"},
    {TAGOP_STR_NOT_CONTAINS, u"WCONTAINS(data.value, ?) = 0"},
    {TAGOP_STR_EQUAL_CASE, u"data.value = ?"},
    {TAGOP_STR_NOT_EQUAL_CASE, u"data.value != ?"},
    {TAGOP_STR_CONTAINS_CASE, u"WCONTAINSCASE(data.value, ?)"},
    {TAGOP_STR_NOT_CONTAINS_CASE, u"WCONTAINSCASE(data.value, ?) = 0"},
    {TAGOP_STR_SEARCH, u"WPHRASEQUERY(data.value, ?)"},
    {TAGOP_NUM_EQUAL, u"tags.value = ?"},
    {TAGOP_NUM_GREATER_EQUAL, u"tags.value >= ?"},
    {TAGOP_NUM_LESS_EQUAL, u"tags.value <= ?"},
    {TAGOP_NUM_NOT_EQUAL, u"tags.value != ?"},
    {TAGOP_BLOB_EQUAL, u"tags.blobid = ?"},
    {TAGOP_BLOB_NOT_EQUAL, u"tags.blobid != ?"},
    {TAGOP_GUID_EQUAL, u"tags.value = ?"},
    {TAGOP_GUID_NOT_EQUAL, u"tags.value != ?"},
};

const char16_t* TestOf(LONG code) {
  for (const OperatorTest& t : kTests)
    if (t.code == code) return t.test;
  return nullptr;
}

// The value operator a code stands for, and whether it looks at the condition's instance only.
struct Resolved {
  LONG valueCode;  // 0: presence only
  bool instanceOnly;
};

Resolved Resolve(const QueryCondition& c) {
  const bool multi = TAG_IS_MULTI(c.tag);
  switch (c.code) {
    case TAGOP_ALWAYS: return {0, false};
    case TAGOP_MULTI_SAME_INSTANCE_EQUAL: return {DefaultValueOperator(c.tag), true};
    case TAGOP_MULTI_SAME_INSTANCE:
    case TAGOP_MULTI_NO_INSTANCE: return {0, true};  // the latter negated in Apply
    case TAGOP_MULTI_ANY_EQUAL: return {DefaultValueOperator(c.tag), false};
    case TAGOP_MULTI_ANY_NOT_EQUAL: return {DiffersValueOperator(c.tag), false};
    default: return {c.code, multi};
  }
}

// The blob row holding the value's bytes, found by size and checksum; -1 when none holds them.
// Only read: a query never stores anything.
LONG BlobIdOf(CQueryRun& run, const CTagValue& value) {
  DWORD size = 0;
  if (FAILED(value.GetBytes(nullptr, &size)) || size == 0) return -1;
  std::vector<BYTE> bytes(size);
  if (FAILED(value.GetBytes(bytes.data(), &size))) return -1;
  std::vector<DWORD> ids;
  const DWORD crc = BlobChecksum(bytes.data(), size);
  run.SelectMids(u"select blobid from blob_data WHERE blob_data.bsize=? AND blob_data.bcrc=?;",
                 [&](CSqlStatement& s) {
                   s.BindInt(1, static_cast<int>(size));
                   s.BindInt(2, static_cast<int>(crc));
                 },
                 &ids);
  return ids.empty() ? -1 : static_cast<LONG>(ids.front());
}

void BindValue(CQueryRun& run, CSqlStatement& s, int index, const CTagValue& value) {
  switch (value.Type()) {
    case TAG_TYPE_STR: s.BindText(index, value.text.c_str()); break;
    case TAG_TYPE_INT: s.BindInt(index, value.integer); break;
    case TAG_TYPE_REAL: s.BindDouble(index, value.real); break;
    case TAG_TYPE_GUID: s.BindBlob(index, &value.guid, sizeof(GUID)); break;
    default: break;
  }
}

std::vector<DWORD> Complement(std::vector<DWORD> all, std::vector<DWORD> some) {
  std::sort(all.begin(), all.end());
  std::sort(some.begin(), some.end());
  std::vector<DWORD> rest;
  std::set_difference(all.begin(), all.end(), some.begin(), some.end(), std::back_inserter(rest));
  return rest;
}

}  // namespace

bool CQueryRun::Matching(const QueryCondition& c, const std::u16string& source, std::vector<DWORD>* mids) {
  const Resolved r = Resolve(c);
  if (r.valueCode != 0 && TAG_TYPE(c.tag) == TAG_TYPE_DATE) return DatesMatching(c, source, mids);
  const std::u16string table = TagTableName(c.tag);
  const bool text = r.valueCode != 0 && TAG_TYPE(c.tag) == TAG_TYPE_STR;
  // Entries with several matching instances come more than once; the insert keeps one.
  std::u16string sql = u"select tags.mid" +
                       TagRowsOf(source, table, text ? u"inner join str_data data on tags.strid=data.strid" : u"") +
                       u"tags.tag=?";
  if (r.valueCode != 0) sql += u" AND " + std::u16string(TestOf(r.valueCode));
  if (r.instanceOnly) sql += u" AND tags.instance = ?";
  sql += u";";
  const LONG blobId = r.valueCode != 0 && c.value.Type() == TAG_TYPE_BLOB ? BlobIdOf(*this, c.value) : 0;
  return SelectMids(sql,
                    [&](CSqlStatement& s) {
                      int index = 1;
                      s.BindInt(index++, static_cast<int>(c.tag));
                      if (r.valueCode != 0) {
                        if (c.value.Type() == TAG_TYPE_BLOB) s.BindInt(index++, blobId);
                        else BindValue(*this, s, index++, c.value);
                      }
                      if (r.instanceOnly) s.BindInt(index, static_cast<int>(c.instance));
                    },
                    mids);
}

bool CQueryRun::DatesMatching(const QueryCondition& c, const std::u16string& source, std::vector<DWORD>* mids) {
  const Resolved r = Resolve(c);
  std::u16string sql = u"select tags.mid, tags.svalue" + TagRowsOf(source, u"date_tags") + u"tags.tag=?";
  if (r.instanceOnly) sql += u" AND tags.instance = ?";
  sql += u";";
  CTagValue wanted = c.value;
  wanted.id = c.tag;
  mids->clear();
  const bool read = SelectRows(
      sql,
      [&](CSqlStatement& s) {
        s.BindInt(1, static_cast<int>(c.tag));
        if (r.instanceOnly) s.BindInt(2, static_cast<int>(c.instance));
      },
      [&](const CSqlQuery& row) {
        // Stored dates are read the way items read them; one that can't be read matches nothing.
        CTagValue stored = CTagValue::ForText(c.tag, row.GetText(1, u""));
        if (stored.id == c.tag && EvaluateOperator(r.valueCode, stored, wanted))
          mids->push_back(static_cast<DWORD>(row.GetInt(0, 0)));
      });
  std::sort(mids->begin(), mids->end());
  mids->erase(std::unique(mids->begin(), mids->end()), mids->end());
  return read;
}

bool CQueryRun::Missing(const QueryCondition& c, const std::u16string& source, std::vector<DWORD>* mids) {
  const DWORD m = c.missing;
  // An empty text counts as no text.
  const bool text = TAG_TYPE(m) == TAG_TYPE_STR;
  const std::u16string sql =
      u"select tags.mid" + TagRowsOf(source, TagTableName(m), text ? u"inner join str_data data on tags.strid=data.strid" : u"") +
      (text ? u"data.slen > 0 AND tags.tag=?;" : u"tags.tag=?;");
  std::vector<DWORD> all, present;
  if (!SelectMids(u"select mid from " + source + u";", {}, &all) ||
      !SelectMids(sql, [&](CSqlStatement& s) { s.BindInt(1, static_cast<int>(m)); }, &present)) {
    return false;
  }
  *mids = Complement(std::move(all), std::move(present));
  if ((params_.flags & (QFLAG_WITH_MISSING | QFLAG_MARKED)) == (QFLAG_WITH_MISSING | QFLAG_MARKED)) {
    // Items marked for the tag count as lacking it.
    std::vector<DWORD> marked;
    if (!SelectMids(u"select distinct tags.mid" + TagRowsOf(source, u"int_tags") + u"tags.tag=? and tags.value=?;",
                    [&](CSqlStatement& s) {
                      s.BindInt(1, static_cast<int>(QTAG_MARKED_TAGS));
                      s.BindInt(2, static_cast<int>(m));
                    },
                    &marked)) {
      return false;
    }
    mids->insert(mids->end(), marked.begin(), marked.end());
  }
  return true;
}

HRESULT CQueryRun::Apply(const QueryCondition& c, const std::u16string& source, const std::u16string& target) {
  std::vector<DWORD> mids;
  const bool read = c.tag == QTAG_MISSING ? Missing(c, source, &mids) : Matching(c, source, &mids);
  if (!read) return Status() == S_OK ? E_FAIL : Status();
  // Lacking the instance is the complement of having it.
  if (c.negated != (c.code == TAGOP_MULTI_NO_INSTANCE)) {
    std::vector<DWORD> all;
    if (!SelectMids(u"select mid from " + source + u";", {}, &all)) return Status() == S_OK ? E_FAIL : Status();
    mids = Complement(std::move(all), std::move(mids));
  }
  if (!InsertMids(target, mids)) return Cancelled() ? E_ABORT : E_FAIL;
  return S_OK;
}
