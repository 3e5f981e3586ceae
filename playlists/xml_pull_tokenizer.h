// CXmlPullTokenizer: a forgiving pull tokenizer for XML and HTML text. The feed parsers use it on
// the HTML inside feed descriptions, where a strict parser would give up at the first fault.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// Token codes returned by CXmlPullTokenizer::Next.
enum XmlToken : int {
  XML_MALFORMED = -1,
  XML_END = 0,
  XML_START_TAG = 1,      // tag name
  XML_END_TAG = 2,        // tag name (none for the end of an empty element)
  XML_ATTRIBUTE = 3,      // attribute name, value in the text
  XML_TEXT = 4,
  XML_WHITESPACE = 5,
  XML_SECTION_TEXT = 6,   // content of a comment, CDATA section or entity declaration
  XML_COMMENT_START = 7,
  XML_COMMENT_END = 8,
  XML_CDATA_START = 9,
  XML_CDATA_END = 10,
  XML_DECL_START = 11,
  XML_DECL_END = 12,
  XML_ENTITY_DECL_START = 13,
  XML_ENTITY_DECL_END = 14,
};

// Where the characters come from; NextChar returns 0 at the end of the input.
class IXmlCharSource {
 public:
  virtual WCHAR NextChar() = 0;

 protected:
  ~IXmlCharSource() = default;
};

// A source over text in memory; an embedded 0 ends it like the end of the text.
class CXmlTextSource : public IXmlCharSource {
 public:
  explicit CXmlTextSource(std::u16string_view text) : text_(text) {}
  WCHAR NextChar() override { return pos_ < text_.size() ? text_[pos_++] : 0; }

 private:
  std::u16string_view text_;
  size_t pos_ = 0;
};

// The text with its predefined and numeric character references ("&amp;", "&#38;", "&#x26;")
// replaced by their characters; anything else beginning with "&" stays as it stands.
std::u16string DecodeXmlReferences(std::u16string_view text);

// Resolves an entity name that is none of the five predefined ones; 0 when it is unknown.
using XmlEntityResolver = WCHAR (*)(const char* name, int length, void* context);

class CXmlPullTokenizer {
 public:
  static constexpr size_t kTextMax = 1023;
  static constexpr size_t kNameMax = 127;
  static constexpr size_t kEntityNameMax = 31;

  explicit CXmlPullTokenizer(IXmlCharSource* source, XmlEntityResolver resolver = nullptr,
                             void* context = nullptr);

  int Next();
  const WCHAR* GetText() const { return text_.c_str(); }
  const char* GetTagName() const { return tagName_.c_str(); }
  const char* GetAttributeName() const { return attributeName_.c_str(); }

 private:
  enum class State { Text, Attributes, Comment, Cdata, EntityDecl };
  enum class EntityEnd { Text, Quoted, Bare };

  WCHAR Read();
  void PushBack(WCHAR c);
  WCHAR SkipSpace(WCHAR c);
  void AppendText(WCHAR c);
  static void AppendName(std::string& name, WCHAR c);

  int TextRun(WCHAR first);
  int Tag();
  int Attribute();
  int Section(std::u16string_view mark, int endCode);
  void ReadEntity(EntityEnd end, WCHAR quote);
  bool DecodeEntity(const std::u16string& name);

  XmlEntityResolver resolver_;
  void* context_;
  State state_ = State::Text;
  std::u16string text_;
  std::string tagName_;
  std::string attributeName_;
  IXmlCharSource* source_;
  WCHAR pushed_[2] = {0, 0};  // two, so a bare value can look past a '/' for '>'
  int pushedCount_ = 0;
  bool sectionOpen_ = false;  // the closing mark was seen; the next call reports the end code
  std::u16string section_;    // section characters not yet handed out
  bool sectionQuoted_ = false;
};
