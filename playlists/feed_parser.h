// The feed and directory parsers as the playlist reader uses them: CreateFeedParser picks the
// parser for a document's root element, Parse runs it over the document's text with the
// document's source, and the title and the items are read out. The parsers live in feeds/.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct FeedItem {
  std::u16string url;  // empty: the playlist reader skips the item
  std::u16string title;
  std::u16string identifier;
  LONG length = -2;  // ms; -2 unknown, -1 not a timed medium
  DWORD kind = 0;  // 0 a medium, 1 a link to another document or directory
};

class CFeedParser {
 public:
  CFeedParser() = default;
  virtual ~CFeedParser() = default;
  CFeedParser(const CFeedParser&) = delete;
  CFeedParser& operator=(const CFeedParser&) = delete;

  // Parses the whole text, already decoded (feeds/feed_document.h decodes a document's bytes);
  // the result of End: 0 for a malformed document, whose items up to the fault stay readable.
  int Parse(LPCWSTR text, LPCWSTR source);

  std::u16string GetTitle() const { return title_; }
  int GetItemCount() const { return static_cast<int>(items_.size()); }
  const FeedItem* GetItem(int index) const {
    return index >= 0 && index < GetItemCount() ? &items_[static_cast<size_t>(index)] : nullptr;
  }
  // Why the last Parse stopped ("line 3, column 7: mismatched tag"); empty after a clean parse.
  std::u16string GetError() const { return error_; }

 protected:
  virtual void Begin() {}
  // ok: 1 when the document was well-formed; the result of Parse.
  virtual int End(int ok) { return ok; }
  // Attributes come as name, value pairs ending with a null name.
  virtual void OnStartElement(LPCWSTR name, LPCWSTR* attributes) = 0;
  virtual void OnEndElement(LPCWSTR name) = 0;
  virtual BOOL AcceptText() = 0;
  virtual void OnCharacters(LPCWSTR text, int length);

  // The value of the attribute named `name` (case ignored), or null.
  static LPCWSTR Attribute(LPCWSTR* attributes, LPCWSTR name);
  static bool Is(LPCWSTR name, LPCWSTR wanted) { return _wcsicmp(name, wanted) == 0; }
  // Starts collecting an element's text in `state`.
  void CollectText(int state);
  // The collected text without its leading and trailing white space; the buffer is emptied.
  std::u16string TakeText();

  std::u16string source_;
  std::vector<FeedItem> items_;
  std::u16string title_;
  std::u16string text_;  // character data of the element being read
  int depth_ = 0;  // elements open before the one being started or after the one ended
  int state_ = 0;  // above 100 while an element's text is collected

 private:
  friend struct CFeedParserEvents;  // expat's callbacks
  std::u16string error_;
};

// A new parser for the document's root element (the caller deletes it), or null when no parser
// knows it or the text has no root element.
CFeedParser* CreateFeedParser(LPCWSTR text);
