// The skin script loader: a line-oriented text that names the images and fonts of a skin, its
// properties and its elements. A bad line is applied as far as it goes and its error recorded;
// loading always goes on with the next line.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "skin/skin_element_params.h"

class CSkin;

struct SkinParseContext {
  WCHAR error[260] = {};
  WCHAR keyword[260] = {};
  WCHAR packagePath[260] = {};
  CSkin* skin = nullptr;
  void* scratch = nullptr;
  // Every failing line's message with its line suffix, in order (the error text holds the last).
  std::vector<std::u16string> messages;
};

// The slots a handler splits its arguments into: an unfilled slot is the empty text and reads
// as the number 0.
class SkinTokens {
 public:
  SkinTokens(int count, int maxLength) : slots_(static_cast<size_t>(count)), maxLength_(maxLength) {}
  int Slots() const { return static_cast<int>(slots_.size()); }
  int MaxLength() const { return maxLength_; }
  LPCWSTR Text(int i) const { return i >= 0 && i < Slots() ? slots_[i].c_str() : u""; }
  int Number(int i) const;
  std::u16string& operator[](int i) { return slots_[i]; }

 private:
  std::vector<std::u16string> slots_;
  int maxLength_;
};

// Reads the script entry of the package into the skin: 1 when a text was read to its end, 0 when
// there was none or it held no line. Without the entry the built-in classic script stands in,
// unless `nested` (a panel's script), which then fails.
int ParseSkinScript(CSkin* skin, LPCWSTR packagePath, LPCWSTR scriptName, BOOL nested = FALSE,
                    std::vector<std::u16string>* messages = nullptr);
int DispatchSkinScriptLine(SkinParseContext* context, LPCWSTR line);
// On entry *count is the number of slots, on return the number of tokens read; 0 when some token
// had maxLength or more characters (it is cut to maxLength-1).
int SplitSkinTokens(SkinParseContext* context, SkinTokens* tokens, LPCWSTR text, int* count, int maxLength,
                    LPCWSTR separators);
int ParseSkinRegion(SkinParseContext* context, LPCWSTR token, SkinRegionSpec* region);
// 0x00BBGGRR from RRGGBB (with or without '#'); -1 (no colour) for -1, FFFFFFFF or an empty token;
// black for anything else.
COLORREF ParseSkinColor(LPCWSTR token);
// The number a token starts with (a leading sign and digits); 0 when it does not start with one.
int SkinTokenNumber(LPCWSTR token);
// A whole skin text file as UTF-16: FF FE starts UTF-16, EF BB BF UTF-8, anything else is
// Windows-1252. Empty when the file cannot be read.
std::u16string ReadSkinText(LPCWSTR path);
std::u16string DecodeSkinText(const BYTE* bytes, size_t count);
// The lines of a skin text: cut at every CR and LF, runs of line ends making no empty lines.
std::vector<std::u16string> SplitSkinLines(const std::u16string& text);
// The text of the file of that name in the program's folder, else of the program's resource
// TEXT resourceId (*failed set when that can't be written out).
std::u16string ReadProgramTextOrResource(LPCWSTR fileName, int resourceId, bool* failed = nullptr);

// Appends ", line N.  Continue processing script?" to the error text of a failed line.
void AddSkinLineSuffix(SkinParseContext* context, int line);
// Sets the error text ("wrong amount of tokens for " and the like are built by the handlers).
void SetSkinError(SkinParseContext* context, LPCWSTR text, LPCWSTR more = nullptr);

// The keyword handlers, in table order; each takes the arguments and returns 1 or 0.
using SkinKeywordHandler = int (*)(SkinParseContext*, LPCWSTR);
struct SkinKeyword {
  LPCWSTR name;
  SkinKeywordHandler handler;
};
extern const SkinKeyword kSkinImageKeywords[];
extern const int kSkinImageKeywordCount;
extern const SkinKeyword kSkinElementKeywords[];
extern const int kSkinElementKeywordCount;
