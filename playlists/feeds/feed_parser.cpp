// CFeedParser::Parse: the document's text goes to expat as UTF-8 in pieces, and expat's element
// and character events drive the parser's state machine. The text is decoded already, so expat is
// told UTF-8 whatever the declaration says; entity expansion is bounded, so a hostile document
// costs at most a small multiple of its size.
// The system's expat is built with DTD support; its header shows the entity guards only so.
#ifndef XML_DTD
#define XML_DTD
#endif
#include <expat.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "feed_parser.h"

namespace {

constexpr size_t kPieceChars = 4096;
// An element's text beyond this is dropped: no title, link or value is anywhere near it.
constexpr size_t kTextMax = 1 << 20;
// Expat's guard against entities that expand: at most this much output per input byte, counted
// once a document has expanded this many bytes.
constexpr float kMaxAmplification = 20.0f;
constexpr unsigned long long kAmplificationStart = 1 << 20;

std::u16string Wide(const char* utf8, int length) {
  std::u16string wide;
  if (length <= 0) return wide;
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8, length, nullptr, 0);
  if (needed <= 0) return wide;
  wide.resize(static_cast<size_t>(needed));
  MultiByteToWideChar(CP_UTF8, 0, utf8, length, wide.data(), needed);
  return wide;
}

std::u16string Wide(const char* utf8) { return Wide(utf8, utf8 ? static_cast<int>(strlen(utf8)) : 0); }

std::string Utf8(const WCHAR* text, size_t length) {
  std::string bytes;
  if (!length) return bytes;
  const int count = static_cast<int>(length);
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text, count, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return bytes;
  bytes.resize(static_cast<size_t>(needed));
  WideCharToMultiByte(CP_UTF8, 0, text, count, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

bool IsHighSurrogate(WCHAR c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

// Expat's callbacks, forwarded to the parser's handlers.
struct CFeedParserEvents {
  static void XMLCALL Start(void* self, const XML_Char* name, const XML_Char** attributes) {
    std::vector<std::u16string> texts;
    for (const XML_Char** a = attributes; a && *a; ++a) texts.push_back(Wide(*a));
    std::vector<LPCWSTR> pairs;
    for (const std::u16string& text : texts) pairs.push_back(text.c_str());
    pairs.push_back(nullptr);
    pairs.push_back(nullptr);
    static_cast<CFeedParser*>(self)->OnStartElement(Wide(name).c_str(), pairs.data());
  }
  static void XMLCALL End(void* self, const XML_Char* name) {
    static_cast<CFeedParser*>(self)->OnEndElement(Wide(name).c_str());
  }
  static void XMLCALL Characters(void* self, const XML_Char* text, int length) {
    const std::u16string wide = Wide(text, length);
    static_cast<CFeedParser*>(self)->OnCharacters(wide.c_str(), static_cast<int>(wide.size()));
  }
};

int CFeedParser::Parse(LPCWSTR text, LPCWSTR source) {
  source_ = source ? source : u"";
  error_.clear();
  Begin();
  const size_t length = text ? wcslen(text) : 0;
  if (length < 2) {
    error_ = u"the document is empty";
    return End(0);
  }
  XML_Parser parser = XML_ParserCreateNS("UTF-8", '/');
  if (!parser) {
    error_ = u"out of memory";
    return End(0);
  }
  XML_SetBillionLaughsAttackProtectionMaximumAmplification(parser, kMaxAmplification);
  XML_SetBillionLaughsAttackProtectionActivationThreshold(parser, kAmplificationStart);
  XML_SetUserData(parser, this);
  XML_SetElementHandler(parser, CFeedParserEvents::Start, CFeedParserEvents::End);
  XML_SetCharacterDataHandler(parser, CFeedParserEvents::Characters);

  bool ok = true;
  for (size_t at = 0; ok && at < length;) {
    size_t count = length - at < kPieceChars ? length - at : kPieceChars;
    // A surrogate pair stays in one piece, or both halves would turn into replacement marks.
    if (at + count < length && IsHighSurrogate(text[at + count - 1])) --count;
    const std::string piece = Utf8(text + at, count);
    at += count;
    ok = XML_Parse(parser, piece.data(), static_cast<int>(piece.size()), at >= length) == XML_STATUS_OK;
  }
  if (!ok) {
    const std::u16string where = u"line " + Wide(std::to_string(XML_GetCurrentLineNumber(parser)).c_str()) +
                                 u", column " + Wide(std::to_string(XML_GetCurrentColumnNumber(parser)).c_str());
    error_ = where + u": " + Wide(XML_ErrorString(XML_GetErrorCode(parser)));
    OutputDebugStringW((u"CFeedParser::Parse: " + source_.substr(0, source_.find(u'\r')) + u": " + error_ + u"\r\n").c_str());
  }
  XML_ParserFree(parser);
  return End(ok ? 1 : 0);
}

void CFeedParser::OnCharacters(LPCWSTR text, int length) {
  if (!AcceptText() || length <= 0 || text_.size() >= kTextMax) return;
  text_.append(text, std::min(static_cast<size_t>(length), kTextMax - text_.size()));
}

LPCWSTR CFeedParser::Attribute(LPCWSTR* attributes, LPCWSTR name) {
  for (LPCWSTR* a = attributes; a && a[0]; a += 2) {
    if (_wcsicmp(a[0], name) == 0) return a[1] ? a[1] : u"";
  }
  return nullptr;
}

void CFeedParser::CollectText(int state) {
  text_.clear();
  state_ = state;
}

std::u16string CFeedParser::TakeText() {
  const auto blank = [](WCHAR c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  size_t start = 0, end = text_.size();
  while (start < end && blank(text_[start])) ++start;
  while (end > start && blank(text_[end - 1])) --end;
  std::u16string text = text_.substr(start, end - start);
  text_.clear();
  return text;
}
