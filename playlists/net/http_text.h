// The text work of the HTTP client: URL encoding and decoding, HTTP dates, Base64 for Basic
// authorisation, bounded wide copies, and making a redirect's Location into a URL to request.
#pragma once
#include <windows.h>

// The size the encoded URL needs with its terminator; writes it when `output` is given.
int UrlEncode(char* output, const char* url);
// '+' becomes a blank and "%XX" its byte; the output is terminated (it may be the input).
void UrlDecode(char* output, const char* input);
// "Sun, 06 Nov 1994 08:49:37 GMT"; non-zero on success.
int ParseHttpDate(const char* text, int length, FILETIME* out);
// With a null output the size to provide; else writes the Base64 text of `input` and returns 0.
int Base64Encode(const char* input, char* output);
// Copies at most capacity - 1 characters and terminates.
void CopyStringBounded(LPWSTR destination, int capacity, LPCWSTR source);

// The URL a Location value names, resolved against the URL that was asked for: absolute
// "http://" URLs as they are, "/path" on the same host, anything else beside the last '/'.
// False when the result would not fit `size` or the location holds control characters.
bool ResolveLocation(const char* base, const char* location, char* out, int size);
// Whether the text holds a byte below 0x20 or 0x7F (a CR or LF would end a request line).
bool HasControlBytes(const char* text);
// Copies at most size - 1 bytes of narrow text and terminates.
void CopyTextBounded(char* destination, const char* source, size_t size);
