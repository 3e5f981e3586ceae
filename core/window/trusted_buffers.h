// Texts and buffers that this process hands to its own main window by message. A message's
// lParam is taken as a pointer only when it is one of these: the same number sent from another
// process (or a stray one) would point into nothing, and is refused instead of read or written.
#pragma once
#include <windows.h>

#include <string>

// Registers a buffer of `chars` UTF-16 characters while it lives (for SendMessageW).
class CTrustedBuffer {
 public:
  CTrustedBuffer(const WCHAR* buffer, size_t chars);
  ~CTrustedBuffer();
  CTrustedBuffer(const CTrustedBuffer&) = delete;
  CTrustedBuffer& operator=(const CTrustedBuffer&) = delete;

 private:
  LPARAM key_;
};

// For a posted message the buffer stays registered until it is forgotten.
void TrustBuffer(const WCHAR* buffer, size_t chars);
void ForgetBuffer(const WCHAR* buffer);

// The size in characters of a registered buffer; 0 for any other value.
size_t TrustedBufferChars(LPARAM value);
// The text of a registered buffer (up to its terminator or its end); empty for any other value.
std::u16string TrustedText(LPARAM value);
