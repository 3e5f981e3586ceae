// The tokenizer's states. Nothing here fails hard: bad markup is reported as XML_MALFORMED and
// the caller decides whether to go on; over-long names and texts are cut at their buffers.
#include "xml_pull_tokenizer.h"

namespace {

bool IsSpace(WCHAR c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

struct PredefinedEntity {
  std::u16string_view name;
  WCHAR value;
};
constexpr PredefinedEntity kPredefined[] = {
    {u"gt", u'>'}, {u"lt", u'<'}, {u"amp", u'&'}, {u"apos", u'\''}, {u"quot", u'"'}, {u"", u'&'},
};

// "#38" or "#x26": the code point, or 0 when the reference is not a valid character.
char32_t NumericReference(std::u16string_view name) {
  if (name.size() < 2 || name[0] != u'#') return 0;
  bool hex = name[1] == u'x' || name[1] == u'X';
  std::u16string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return 0;
  char32_t value = 0;
  for (WCHAR c : digits) {
    int digit;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (hex && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (hex && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else return 0;
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    if (value > 0x10FFFF) return 0;
  }
  if (value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return value;
}

// The character of a reference's name, 0 for none.
char32_t ReferenceValue(std::u16string_view name) {
  for (const PredefinedEntity& entity : kPredefined) {
    if (!entity.name.empty() && name == entity.name) return entity.value;
  }
  return NumericReference(name);
}

void AppendCodePoint(std::u16string& out, char32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
    return;
  }
  code -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (code >> 10));
  out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

}  // namespace

std::u16string DecodeXmlReferences(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t semicolon = text[i] == u'&' ? text.find(u';', i + 1) : std::u16string_view::npos;
    const char32_t code = semicolon == std::u16string_view::npos ? 0 : ReferenceValue(text.substr(i + 1, semicolon - i - 1));
    if (code == 0) {
      out += text[i];
      continue;
    }
    AppendCodePoint(out, code);
    i = semicolon;
  }
  return out;
}

CXmlPullTokenizer::CXmlPullTokenizer(IXmlCharSource* source, XmlEntityResolver resolver, void* context)
    : resolver_(resolver), context_(context), source_(source) {}

WCHAR CXmlPullTokenizer::Read() {
  if (pushedCount_ > 0) return pushed_[--pushedCount_];
  return source_ ? source_->NextChar() : 0;
}

void CXmlPullTokenizer::PushBack(WCHAR c) {
  if (c != 0 && pushedCount_ < 2) pushed_[pushedCount_++] = c;
}

WCHAR CXmlPullTokenizer::SkipSpace(WCHAR c) {
  while (IsSpace(c)) c = Read();
  return c;
}

void CXmlPullTokenizer::AppendText(WCHAR c) {
  if (text_.size() < kTextMax) text_ += c;
}

void CXmlPullTokenizer::AppendName(std::string& name, WCHAR c) {
  // Names are kept one byte a character; anything beyond 8 bits cannot be told apart, so it
  // becomes '?' rather than a different character.
  if (name.size() < kNameMax) name += c <= 0xFF ? static_cast<char>(c) : '?';
}

int CXmlPullTokenizer::Next() {
  for (;;) {
    switch (state_) {
      case State::Text: {
        WCHAR c = Read();
        if (c == 0) return XML_END;
        if (c == u'<') return Tag();
        return TextRun(c);
      }
      case State::Attributes: {
        int token = Attribute();
        if (token == XML_END && state_ == State::Text) continue;  // '>' ended the tag
        return token;
      }
      case State::Comment:
        return Section(u"-->", XML_COMMENT_END);
      case State::Cdata:
        return Section(u"]]>", XML_CDATA_END);
      case State::EntityDecl:
        return Section(u">", XML_ENTITY_DECL_END);
    }
  }
}

int CXmlPullTokenizer::TextRun(WCHAR c) {
  text_.clear();
  if (c == u'&') ReadEntity(EntityEnd::Text, 0);
  else AppendText(c);
  const bool space = !text_.empty() && IsSpace(text_[0]);
  for (;;) {
    c = Read();
    if (c == 0) break;
    if (c == u'<' || c == u'&' || IsSpace(c) != space) {
      PushBack(c);
      break;
    }
    AppendText(c);
  }
  return space ? XML_WHITESPACE : XML_TEXT;
}

int CXmlPullTokenizer::Tag() {
  struct Opening {
    std::string_view name;
    State state;
    int token;
  };
  static constexpr Opening kOpenings[] = {
      {"!--", State::Comment, XML_COMMENT_START},
      {"?xml", State::Attributes, XML_DECL_START},
      {"!ENTITY", State::EntityDecl, XML_ENTITY_DECL_START},
      {"![CDATA[", State::Cdata, XML_CDATA_START},
  };
  tagName_.clear();
  WCHAR c = Read();
  const bool endTag = c == u'/';
  if (endTag) c = Read();
  while (c != 0 && !IsSpace(c) && c != u'/' && c != u'>') {
    AppendName(tagName_, c);
    if (!endTag) {
      for (const Opening& opening : kOpenings) {
        if (tagName_ == opening.name) {
          state_ = opening.state;
          text_.clear();
          section_.clear();
          sectionOpen_ = false;
          sectionQuoted_ = false;
          return opening.token;
        }
      }
    }
    c = Read();
  }
  if (c == 0) return XML_MALFORMED;
  if (endTag) {
    c = SkipSpace(c);
    if (c == u'>') return XML_END_TAG;
    PushBack(c);
    return XML_MALFORMED;
  }
  PushBack(c);
  state_ = State::Attributes;
  return XML_START_TAG;
}

int CXmlPullTokenizer::Attribute() {
  WCHAR c = SkipSpace(Read());
  if (c == 0) return XML_END;
  if (c == u'>') {
    state_ = State::Text;
    return XML_END;  // Next goes on in the text state
  }
  if (c == u'?' || c == u'/') {
    WCHAR d = Read();
    if (d == u'>') {
      state_ = State::Text;
      return c == u'?' ? XML_DECL_END : XML_END_TAG;
    }
    PushBack(d);
    return XML_MALFORMED;
  }
  attributeName_.clear();
  text_.clear();
  while (c != 0 && !IsSpace(c) && c != u'=' && c != u'>' && c != u'/') {
    if (c == u'<') {  // a new tag begins: hand it to the text state
      PushBack(c);
      state_ = State::Text;
      return XML_MALFORMED;
    }
    AppendName(attributeName_, c);
    c = Read();
  }
  if (c == 0) return XML_END;
  c = SkipSpace(c);
  if (c != u'=') {
    PushBack(c);
    return XML_ATTRIBUTE;
  }
  c = SkipSpace(Read());
  if (c == u'"' || c == u'\'') {
    const WCHAR quote = c;
    for (c = Read(); c != quote; c = Read()) {
      if (c == 0) return XML_MALFORMED;
      if (c == u'&') ReadEntity(EntityEnd::Quoted, quote);
      else AppendText(c);
    }
    return XML_ATTRIBUTE;
  }
  // A bare value runs to white space or the end of the tag; a '/' ends it only before '>', so
  // unquoted URLs stay whole.
  for (; c != 0; c = Read()) {
    if (IsSpace(c) || c == u'>') {
      PushBack(c);
      break;
    }
    if (c == u'/') {
      WCHAR d = Read();
      if (d == u'>') {
        PushBack(d);
        PushBack(c);
        break;
      }
      PushBack(d);
    }
    if (c == u'&') ReadEntity(EntityEnd::Bare, 0);
    else AppendText(c);
  }
  return XML_ATTRIBUTE;
}

int CXmlPullTokenizer::Section(std::u16string_view mark, int endCode) {
  if (sectionOpen_) {
    sectionOpen_ = false;
    state_ = State::Text;
    text_.clear();
    return endCode;
  }
  const bool declaration = state_ == State::EntityDecl;
  for (;;) {
    if (section_.size() >= kTextMax + mark.size() - 1) {
      // Hand out a full buffer; the tail may be the start of the mark and waits for the next call.
      text_.assign(section_, 0, kTextMax);
      section_.erase(0, kTextMax);
      return XML_SECTION_TEXT;
    }
    WCHAR c = Read();
    if (c == 0) return XML_END;
    if (declaration) {
      if (c == u'"') sectionQuoted_ = !sectionQuoted_;
      if (c == u'>' && !sectionQuoted_) {
        text_ = std::move(section_);
        section_.clear();
        sectionOpen_ = true;
        return XML_SECTION_TEXT;
      }
      section_ += c;
      continue;
    }
    section_ += c;
    if (section_.size() >= mark.size() && std::u16string_view(section_).ends_with(mark)) {
      section_.resize(section_.size() - mark.size());
      text_ = std::move(section_);
      section_.clear();
      sectionOpen_ = true;
      return XML_SECTION_TEXT;
    }
  }
}

void CXmlPullTokenizer::ReadEntity(EntityEnd end, WCHAR quote) {
  std::u16string name;
  WCHAR c = 0;
  bool terminated = false;  // by ';' or the length limit, so the name is looked up
  for (;;) {
    if (name.size() == kEntityNameMax) {
      c = Read();
      if (c != u';') PushBack(c);
      terminated = true;
      break;
    }
    c = Read();
    if (c == 0) break;
    if (c == u';') {
      terminated = true;
      break;
    }
    // Markup after a stray '&' stays markup: '<' and '&' end the name as well.
    bool ends = c == u'<' || c == u'&';
    if (end == EntityEnd::Text) ends = ends || IsSpace(c);
    if (end == EntityEnd::Quoted) ends = c == quote || c == u'&';
    if (end == EntityEnd::Bare) ends = ends || IsSpace(c) || c == u'>';
    if (ends) {
      PushBack(c);
      break;
    }
    name += c;
  }
  if (terminated && DecodeEntity(name)) return;
  AppendText(u'&');
  for (WCHAR n : name) AppendText(n);
}

bool CXmlPullTokenizer::DecodeEntity(const std::u16string& name) {
  for (const PredefinedEntity& entity : kPredefined) {
    if (name == entity.name) {
      AppendText(entity.value);
      return true;
    }
  }
  if (char32_t code = NumericReference(name)) {
    if (code < 0x10000) {
      AppendText(static_cast<WCHAR>(code));
    } else if (text_.size() + 2 <= kTextMax) {  // never half a surrogate pair
      code -= 0x10000;
      AppendText(static_cast<WCHAR>(0xD800 + (code >> 10)));
      AppendText(static_cast<WCHAR>(0xDC00 + (code & 0x3FF)));
    }
    return true;
  }
  if (!resolver_) return false;
  std::string bytes;
  for (WCHAR c : name) bytes += c <= 0xFF ? static_cast<char>(c) : '?';
  WCHAR value = resolver_(bytes.c_str(), static_cast<int>(bytes.size()), context_);
  if (value == 0) return false;
  AppendText(value);
  return true;
}
