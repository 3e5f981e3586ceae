// CStringTokenizer: splits one wide string at a separator, optionally keeping quoted runs
// together. Settings, the library's search expressions and the skin import keep lists this way.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

class CStringTokenizer {
 public:
  CStringTokenizer(std::u16string_view text, WCHAR separator, WCHAR quote = 0);

  void Set(std::u16string_view text, WCHAR separator, WCHAR quote = 0);
  // Index 0 is the whole text, 1..GetCount() the tokens.
  std::u16string GetToken(int index, BOOL stripQuotes = FALSE) const;
  void RemoveToken(int index);
  void Clear();
  int GetCount() const { return count_; }

 private:
  void Split();

  std::vector<std::u16string> tokens_;
  int count_ = 0;
  WCHAR separator_ = 0;
  WCHAR quote_ = 0;
};
