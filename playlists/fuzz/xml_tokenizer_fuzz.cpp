// Fuzz target: any byte string, read as UTF-16 units, must tokenize to the end without a fault.
#include <cstddef>
#include <cstdint>
#include <string>

#include "xml_pull_tokenizer.h"

namespace {
WCHAR ResolveAll(const char* name, int length, void*) { return length > 0 && name[0] == 'n' ? u' ' : 0; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  // Also read the bytes one unit each, which is how markup usually arrives from a mutator.
  std::u16string bytes(data, data + size);
  for (const std::u16string* input : {&text, &bytes}) {
    CXmlTextSource source(*input);
    CXmlPullTokenizer tokenizer(&source, ResolveAll, nullptr);
    // Every call consumes input or changes state, so this bound is never reached by a sound
    // tokenizer; reaching it means a loop that makes no progress.
    size_t limit = 4 * input->size() + 16;
    for (size_t n = 0;; ++n) {
      if (n > limit) __builtin_trap();
      int token = tokenizer.Next();
      (void)tokenizer.GetText();
      if (token == XML_END) break;
    }
  }
  return 0;
}
