// The one formatting engine behind wsprintfW, swprintf and _snwprintf. It writes into a bounded
// buffer and counts the whole length, so each caller applies its own truncation rule.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <string_view>

namespace zb {

// Keeps the first capacity units; length counts all of them.
struct WideSink {
  char16_t* buffer;
  size_t capacity;
  size_t length = 0;

  void Put(char16_t c, size_t count = 1);
  void Put(std::u16string_view text);
};

enum class Floats {
  kNone,       // wsprintfW: %e %f %g print their letter (the argument is still taken)
  kFormatted,  // the C runtime: digits from the host's printf
};

// False when the format is refused: %n, which would write through an argument, or no format.
bool FormatWide(WideSink& sink, const char16_t* format, va_list args, Floats floats);

}  // namespace zb
