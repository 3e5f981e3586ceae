// A fuzz target for the driver's own tests: the input's first word says what it does, so that a
// test can make it crash, trip AddressSanitizer or hang, and check what the driver keeps.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto is = [&](const char* word) { return size >= std::strlen(word) && std::memcmp(data, word, std::strlen(word)) == 0; };
  if (is("abort")) std::abort();
  if (is("trap")) __builtin_trap();
  if (is("overflow")) {
    volatile char* block = static_cast<char*>(std::malloc(size));
    const char past = block[size];  // one past the end
    std::free(const_cast<char*>(block));
    return past;
  }
  if (is("hang")) std::this_thread::sleep_for(std::chrono::seconds(30));
  return 0;
}
