// zbfetch: fetches a URL through the player's HTTP and ICY client and prints the response head,
// each ICY title as it changes and the count of body bytes with the metadata taken out, so a
// stream or a server can be tried by hand. A live stream is cut off by --seconds or --bytes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "http_fetch.h"

namespace {

constexpr char kUsage[] =
    "usage: zbfetch [--seconds N] [--bytes N] [--out FILE] URL\n"
    "  Prints the response head, \"title: TEXT\" for each ICY title as it changes, and\n"
    "  \"audio bytes: N\" (the body without its ICY metadata). --seconds and --bytes end a\n"
    "  live stream after that long or that much (default 30 seconds); --out writes the body to\n"
    "  a host file. Status 0 when the body came whole (or a limit ended it), 1 on failure.\n";

}  // namespace

int main(int argc, char** argv) {
  HttpFetchOptions options;
  options.maxMs = 30000;
  const char* url = nullptr;
  const char* outPath = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if ((arg == "--seconds" || arg == "--bytes" || arg == "--out") && i + 1 < argc) {
      const char* value = argv[++i];
      if (arg == "--seconds") options.maxMs = static_cast<DWORD>(std::strtoul(value, nullptr, 10) * 1000);
      else if (arg == "--bytes") options.maxBytes = std::strtoll(value, nullptr, 10);
      else outPath = value;
      continue;
    }
    if (arg[0] == '-' || url) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    url = argv[i];
  }
  if (!url) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  FILE* out = outPath ? std::fopen(outPath, "wb") : nullptr;
  if (outPath && !out) {
    std::fprintf(stderr, "zbfetch: cannot write %s\n", outPath);
    return 1;
  }
  std::mutex printing;
  options.onHead = [&](const char* head) {
    std::lock_guard hold(printing);
    std::fputs(head, stdout);
    std::fflush(stdout);
  };
  options.onTitle = [&](const char* title) {
    std::lock_guard hold(printing);
    std::printf("title: %s\n", title);
    std::fflush(stdout);
  };
  options.onData = [&](const char* data, int size) {
    return !out || std::fwrite(data, 1, static_cast<size_t>(size), out) == static_cast<size_t>(size);
  };
  WCHAR wide[4096] = {};
  MultiByteToWideChar(CP_UTF8, 0, url, -1, wide, 4096);
  wide[4095] = 0;
  HttpFetchResult result;
  const int status = HttpFetch(wide, options, &result);
  if (out) std::fclose(out);
  std::lock_guard hold(printing);
  std::printf("audio bytes: %lld\n", result.bytes);
  if (status < 0) std::fprintf(stderr, "zbfetch: %s\n", result.error.c_str());
  return status < 0 ? 1 : 0;
}
