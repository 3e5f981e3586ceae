// The $functions of the title-format language, as a table the evaluator walks by name.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

struct TitleArgument {
  std::u16string text;
  LONG missing = 0;  // fields of this argument that were absent
};

// `room` is how many characters the result may have; a function that would need more fails
// rather than build an oversized text.
using TitleFunction = HRESULT (*)(const TitleArgument* args, size_t room, std::u16string* result);

struct TitleFunctionEntry {
  std::u16string_view name;
  int arguments;
  TitleFunction function;
};

// Case ignored; null for an unknown name.
const TitleFunctionEntry* FindTitleFunction(std::u16string_view name);
