// The parsers behind CreateFeedParser, one per root element, each a small state machine over the
// element events of CFeedParser (states above 100 collect an element's text). Shared by
// feed_parser_choice.cpp, which makes them, and the file of each.
#pragma once
#include <string>
#include <vector>

#include "feed_parser.h"
#include "mediaitem.h"
#include "medialist.h"

// RSS 2.0 with the iTunes podcast namespace: items with enclosures, links and descriptions.
class CRssParser : public CFeedParser {
 protected:
  void OnStartElement(LPCWSTR name, LPCWSTR* attributes) override;
  void OnEndElement(LPCWSTR name) override;
  BOOL AcceptText() override { return state_ > 100; }

 private:
  void EndText();
  void EndItem();
  std::u16string itemLink_;
  bool mayNotPlay_ = false;
};

// OPML outlines, shown one branch at a time; the branch asked for rides on the source's
// "X-OPML-Branch" header line.
class COpmlParser : public CFeedParser {
 protected:
  void Begin() override;
  void OnStartElement(LPCWSTR name, LPCWSTR* attributes) override;
  void OnEndElement(LPCWSTR name) override;
  BOOL AcceptText() override { return state_ > 100; }

 private:
  void StartOutline(LPCWSTR* attributes);
  std::u16string requestedBranch_;
  std::u16string currentBranch_;
  std::vector<size_t> branchMarks_;  // the current branch's length before each open outline
};

// The radio directory's genre list: each genre is a link to its station list.
class CGenreListParser : public CFeedParser {
 protected:
  void Begin() override;
  void OnStartElement(LPCWSTR name, LPCWSTR* attributes) override;
  void OnEndElement(LPCWSTR) override { --depth_; }
  BOOL AcceptText() override { return FALSE; }
};

// The radio directory's station list: each station is a link to its tune-in list.
class CStationListParser : public CFeedParser {
 protected:
  void Begin() override;
  void OnStartElement(LPCWSTR name, LPCWSTR* attributes) override;
  void OnEndElement(LPCWSTR) override { --depth_; }
  BOOL AcceptText() override { return FALSE; }
};

// Smart playlists: queries run against the media library, then shuffled, sorted and cut.
class CPsplParser : public CFeedParser {
 public:
  ~CPsplParser() override;

 protected:
  void Begin() override;
  int End(int ok) override;
  void OnStartElement(LPCWSTR name, LPCWSTR* attributes) override;
  void OnEndElement(LPCWSTR name) override;
  BOOL AcceptText() override { return state_ > 100; }

 private:
  void StartMatch(LPCWSTR* attributes);
  void EndMatch();
  void EndQuery();
  void ReadPragma(LPCWSTR* attributes);
  DWORD TagId(LPCWSTR name);
  void ApplyLimits();
  void ReleaseAll();

  DWORD matchTag_ = 0;
  DWORD matchInstance_ = 0;
  LONG matchOperator_ = 0;
  LONG matchEncoding_ = 0;
  bool randomize_ = false;
  LONG countLimit_ = 0;
  LONG durationLimit_ = 0;  // seconds
  IMediaItem* query_ = nullptr;
  bool duplicates_ = false;
  IMediaList* result_ = nullptr;
  std::vector<DWORD> sortTags_;
  std::vector<DWORD> sortAscending_;
};

// ASX lists: entries with titles, authors and references to devices paths, URLs and relative files.
class CAsxParser : public CFeedParser {
 protected:
  int End(int ok) override { return ok && !items_.empty() ? 1 : 0; }
  void OnStartElement(LPCWSTR name, LPCWSTR* attributes) override;
  void OnEndElement(LPCWSTR name) override;
  BOOL AcceptText() override { return state_ > 100; }

 private:
  void EndEntry();
  std::vector<std::u16string> references_;
  std::u16string author_;
};

// The links of an HTML text ("a" elements with an "http://" href), read by the forgiving pull
// tokenizer: the HTML in feed descriptions is rarely well-formed. Length -1, kind 0.
std::vector<FeedItem> ScanHtmlLinks(std::u16string_view html);

// Text that goes into a URL's query, as UTF-8 with every byte but the unreserved ones as %XX.
std::u16string PercentEncode(std::u16string_view text);
// The reverse, for showing such a text; a '%' without two hex digits stays as it is.
std::u16string PercentDecode(std::u16string_view text);
