// The feed and directory parsers as the playlist reader uses them: CreateFeedParser picks the
// parser for a document's root element, the reader tells it the text's encoding, runs Parse with
// the document's source and takes the title and the items. The parsers are not built yet.
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

  // Set before Parse: the text is UTF-8, or in a single-byte page read as ISO-8859-1.
  void SetUtf8(BOOL on) { utf8_ = on; }
  void SetLatin1(BOOL on) { latin1_ = on; }
  // Parses the whole text; the result of End, 0 when the parser could not be set up.
  int Parse(LPCWSTR text, LPCWSTR source);

  std::u16string GetTitle() const { return title_; }
  int GetItemCount() const { return static_cast<int>(items_.size()); }
  const FeedItem* GetItem(int index) const {
    return index >= 0 && index < GetItemCount() ? &items_[static_cast<size_t>(index)] : nullptr;
  }

 protected:
  virtual void Begin() {}
  // ok: 1 when the document was well-formed; the result of Parse.
  virtual int End(int ok) { return ok; }
  // Attributes come as name, value pairs ending with a null name.
  virtual void OnStartElement(LPCWSTR name, LPCWSTR* attributes) = 0;
  virtual void OnEndElement(LPCWSTR name) = 0;
  virtual BOOL AcceptText() = 0;
  virtual void OnCharacters(LPCWSTR text, int length) {
    if (AcceptText()) text_.append(text, static_cast<size_t>(length));
  }

  std::u16string source_;
  std::vector<FeedItem> items_;
  std::u16string title_;
  std::u16string text_;  // character data of the element being read
  BOOL utf8_ = FALSE;
  BOOL latin1_ = FALSE;
};

// A new parser for the document (the caller deletes it), or null when no parser knows it.
CFeedParser* CreateFeedParser(LPCWSTR text);
