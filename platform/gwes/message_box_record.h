// Between MessageBoxW and its script: taking a scripted answer and recording a shown box.
#pragma once
#include <string_view>
#include <windows.h>

namespace zb::wm {

bool TakeScriptedAnswer(std::u16string_view caption, int* answer);
void RecordShown(std::u16string_view caption, std::u16string_view text, UINT type, int answer);

}  // namespace zb::wm
