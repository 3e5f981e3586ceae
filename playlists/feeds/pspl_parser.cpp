// Smart playlists: each query of the document runs against the media library and its items are
// gathered in one list, which is then shuffled, sorted and cut to its limits, in that order, so
// that "the first N" are the first N of the sort.
#include <limits>
#include <string>

#include "feed_parsers.h"
#include "feed_player.h"
#include "media_list.h"
#include "tagids.h"

namespace {

enum : int { kStart = 0, kPspl = 1, kHead = 2, kBody = 3, kQuery = 4, kPragma = 5, kTitle = 101, kValue = 102 };

// Where a query item keeps the comparison of a tag: the instance is the tag id.
constexpr DWORD kOperatorTag = 0x80027532;
constexpr DWORD kInstanceBit = 0x80000000;

LONG Number(LPCWSTR text) { return text ? wcstol(text, nullptr, 10) : 0; }

// "0A-1b ff" as bytes: blanks and '-' are dropped and each pair of hex digits read; a pair that is
// not hex ends the value.
std::vector<BYTE> HexBytes(const std::u16string& text) {
  std::u16string digits;
  for (WCHAR c : text) {
    if (c != u' ' && c != u'-' && c != u'\t' && c != u'\r' && c != u'\n') digits += c;
  }
  auto value = [](WCHAR c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
  };
  std::vector<BYTE> bytes;
  for (size_t i = 0; i + 1 < digits.size(); i += 2) {
    const int high = value(digits[i]), low = value(digits[i + 1]);
    if (high < 0 || low < 0) break;
    bytes.push_back(static_cast<BYTE>(high * 16 + low));
  }
  return bytes;
}

LONG ItemLength(IMediaList* list, LONG index) {
  IMediaItem* item = nullptr;
  LONG length = 0;
  if (SUCCEEDED(list->GetItem(index, &item)) && item) {
    if (FAILED(item->GetInt(TAG_LENGTH, &length)) || length < 0) length = 0;
    item->Release();
  }
  return length;
}

}  // namespace

CPsplParser::~CPsplParser() { ReleaseAll(); }

void CPsplParser::ReleaseAll() {
  if (query_) query_->Release();
  query_ = nullptr;
  if (result_) result_->Release();
  result_ = nullptr;
}

void CPsplParser::Begin() {
  // The items are gathered in a list of the library's own kind, empty to begin with.
  result_ = CreateMediaList();
  matchTag_ = matchInstance_ = 0;
  matchOperator_ = matchEncoding_ = 0;
}

DWORD CPsplParser::TagId(LPCWSTR name) {
  DWORD id = 0;
  if (!name || !*name) return 0;
  if (*name >= u'0' && *name <= u'9') return static_cast<DWORD>(wcstoul(name, nullptr, 10));
  IMediaItem* item = query_ ? query_ : CreateQueryItem();
  if (item && FAILED(item->GetTagId(name, &id))) id = 0;
  if (item && item != query_) item->Release();
  return id;
}

void CPsplParser::OnStartElement(LPCWSTR name, LPCWSTR* attributes) {
  const int depth = depth_++;
  if (!result_) return;
  if (state_ == kStart && depth == 0 && Is(name, u"pspl")) {
    state_ = kPspl;
    int major = 1, minor = 0;
    if (LPCWSTR version = Attribute(attributes, u"version")) swscanf(version, u"%d.%d", &major, &minor);
    // A newer layout may mean something else by the same elements: it yields nothing.
    if (major > 1 || (major == 1 && minor > 0)) ReleaseAll();
  } else if (state_ == kPspl && depth == 1 && Is(name, u"head")) {
    state_ = kHead;
  } else if (state_ == kHead && depth == 2 && Is(name, u"title")) {
    CollectText(kTitle);
  } else if (state_ == kPspl && depth == 1 && Is(name, u"body")) {
    state_ = kBody;
  } else if (state_ == kBody && depth == 2 && Is(name, u"query")) {
    state_ = kQuery;
    if (query_) query_->Release();
    query_ = CreateQueryItem();
    duplicates_ = Number(Attribute(attributes, u"duplicates")) != 0;
  } else if (state_ == kQuery && depth == 3 && Is(name, u"match")) {
    StartMatch(attributes);
  } else if (state_ == kBody && depth == 2 && Is(name, u"pragma")) {
    state_ = kPragma;
    ReadPragma(attributes);
  }
}

void CPsplParser::StartMatch(LPCWSTR* attributes) {
  matchTag_ = matchInstance_ = 0;
  matchOperator_ = matchEncoding_ = 0;
  for (LPCWSTR* a = attributes; a && a[0]; a += 2) {
    if (Is(a[0], u"name")) matchTag_ = TagId(a[1]);
    else if (Is(a[0], u"tag")) matchTag_ = static_cast<DWORD>(Number(a[1]));
    else if (Is(a[0], u"instance")) matchInstance_ = static_cast<DWORD>(Number(a[1]));
    else if (Is(a[0], u"operator")) matchOperator_ = Number(a[1]);
    else if (Is(a[0], u"encoding")) matchEncoding_ = Number(a[1]);
  }
  CollectText(kValue);
}

void CPsplParser::EndMatch() {
  const std::u16string value = TakeText();
  if (!matchTag_ || !query_) return;
  const bool instance = (matchTag_ & kInstanceBit) != 0;
  if (matchEncoding_ == 1) {
    const std::vector<BYTE> bytes = HexBytes(value);
    const DWORD size = static_cast<DWORD>(bytes.size());
    if (instance) query_->SetInstance(matchTag_, matchInstance_, bytes.data(), size);
    else query_->SetBytes(matchTag_, bytes.data(), size);
  } else if (instance) {
    query_->SetInstance(matchTag_, matchInstance_, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR)));
  } else {
    query_->SetString(matchTag_, value.c_str());
  }
  if (matchOperator_) query_->SetInstance(kOperatorTag, matchTag_, &matchOperator_, sizeof matchOperator_);
}

void CPsplParser::EndQuery() {
  if (!query_) return;
  if (IMediaList* found = QueryMedia(query_)) {
    result_->AppendList(found, duplicates_ ? TRUE : FALSE);
    found->Release();
  }
  query_->Release();
  query_ = nullptr;
}

void CPsplParser::ReadPragma(LPCWSTR* attributes) {
  LPCWSTR directive = Attribute(attributes, u"directive");
  LPCWSTR value = Attribute(attributes, u"value");
  if (!directive) return;
  if (Is(directive, u"randomize")) {
    randomize_ = true;
  } else if (Is(directive, u"count")) {
    countLimit_ = Number(value);
  } else if (Is(directive, u"duration")) {
    durationLimit_ = Number(value);
  } else if (Is(directive, u"sortasc") || Is(directive, u"sortdec")) {
    if (const DWORD tag = TagId(value)) {
      sortTags_.push_back(tag);
      sortAscending_.push_back(Is(directive, u"sortasc") ? 1 : 0);
    }
  }
}

void CPsplParser::OnEndElement(LPCWSTR) {
  const int depth = --depth_;
  if (!result_) return;
  if (state_ == kTitle && depth == 2) {
    state_ = kHead;
    std::u16string text = TakeText();
    if (title_.empty()) title_ = std::move(text);
  } else if (state_ == kValue && depth == 3) {
    state_ = kQuery;
    EndMatch();
  } else if (state_ == kQuery && depth == 2) {
    state_ = kBody;
    EndQuery();
  } else if (state_ == kPragma && depth == 2) {
    state_ = kBody;
  } else if ((state_ == kHead || state_ == kBody) && depth == 1) {
    state_ = kPspl;
  }
}

void CPsplParser::ApplyLimits() {
  DWORD count = 0;
  result_->GetCount(&count);
  LONG keep = countLimit_ > 0 ? countLimit_ : std::numeric_limits<LONG>::max();
  if (durationLimit_ > 0) {
    // As many entries as fit in the time, counted in the order the list now has.
    long long seconds = 0;
    LONG fit = 0;
    for (; fit < static_cast<LONG>(count); ++fit) {
      seconds += ItemLength(result_, fit) / 1000;
      if (seconds > durationLimit_) break;
    }
    if (fit < keep) keep = fit;
  }
  if (static_cast<long long>(count) <= keep) return;
  if (keep == 0) {
    result_->Clear();
    return;
  }
  std::vector<LONG> indices(static_cast<size_t>(keep));
  for (LONG i = 0; i < keep; ++i) indices[static_cast<size_t>(i)] = i;
  result_->KeepIndices(indices.data(), keep);
}

int CPsplParser::End(int ok) {
  if (!result_) return 0;
  if (ok) {
    if (randomize_) result_->Shuffle();
    if (!sortTags_.empty()) result_->Sort(sortTags_.data(), sortAscending_.data(), static_cast<LONG>(sortTags_.size()));
    ApplyLimits();
    for (LONG i = 0;; ++i) {
      IMediaItem* item = nullptr;
      if (FAILED(result_->GetItem(i, &item)) || !item) break;
      BSTR source = nullptr;
      if (SUCCEEDED(item->GetSource(&source)) && source && *source) items_.push_back({source, u"", u"", -2, 0});
      SysFreeString(source);
      item->Release();
    }
  }
  ReleaseAll();
  return ok;
}
