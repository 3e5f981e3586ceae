// Splitting and editing of separator lists. Quoted runs keep their quotes inside the token so
// that a token can be written back unchanged; callers strip them when they read.
#include "string_tokenizer.h"

namespace {
constexpr char16_t kOutOfRange[] = u"ERROR: Array index out of range.";
}

CStringTokenizer::CStringTokenizer(std::u16string_view text, WCHAR separator, WCHAR quote) {
  tokens_.reserve(10);
  Set(text, separator, quote);
}

void CStringTokenizer::Set(std::u16string_view text, WCHAR separator, WCHAR quote) {
  tokens_.clear();
  tokens_.emplace_back(text);
  count_ = 0;
  separator_ = separator;
  quote_ = quote;
  Split();
}

void CStringTokenizer::Split() {
  const std::u16string_view text = tokens_[0];
  if (separator_ == 0) {
    tokens_.emplace_back(text);
    count_ = 1;
    return;
  }
  // An empty text, or one whose last token was closed by a separator, ends with an empty token.
  bool trailingEmpty = text.empty();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t tokenEnd;
    if (quote_ != 0 && text[pos] == quote_) {
      // An unterminated quote runs to the end of the text.
      size_t close = text.find(quote_, pos + 1);
      tokenEnd = close == std::u16string_view::npos ? text.size() : text.find(separator_, close + 1);
    } else {
      tokenEnd = text.find(separator_, pos);
    }
    if (tokenEnd == std::u16string_view::npos) tokenEnd = text.size();
    tokens_.emplace_back(text.substr(pos, tokenEnd - pos));
    ++count_;
    trailingEmpty = tokenEnd == text.size() - 1;
    pos = tokenEnd + 1;
  }
  if (trailingEmpty) {
    tokens_.emplace_back();
    ++count_;
  }
}

std::u16string CStringTokenizer::GetToken(int index, BOOL stripQuotes) const {
  // After Clear even index 0 is gone.
  if (index < 0 || index > count_ || static_cast<size_t>(index) >= tokens_.size()) return kOutOfRange;
  std::u16string token = tokens_[static_cast<size_t>(index)];
  if (stripQuotes && quote_ != 0) std::erase(token, quote_);
  return token;
}

void CStringTokenizer::RemoveToken(int index) {
  if (index < 1 || index > count_) return;
  tokens_.erase(tokens_.begin() + index);
  --count_;
  std::u16string joined;
  for (int i = 1; i <= count_; ++i) {
    if (i > 1) joined += separator_;
    joined += tokens_[static_cast<size_t>(i)];
  }
  tokens_[0] = std::move(joined);
}

void CStringTokenizer::Clear() {
  tokens_.clear();
  count_ = 0;
}
