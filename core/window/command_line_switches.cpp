// Reading the player's command line switches (see command_line_switches.h). The volume switch
// is matched with its case, the others without.
#include "core/window/command_line_switches.h"

#include <string_view>

#include "core/window/program_state.h"

namespace {

constexpr std::u16string_view kEnqueue = u"/ENQUEUE";

// "/ENQUEUE" alone or before a blank and what follows it.
bool IsEnqueueSwitch(const std::u16string& text) {
  if (text.size() < kEnqueue.size() || _wcsnicmp(text.c_str(), kEnqueue.data(), kEnqueue.size()) != 0) return false;
  return text.size() == kEnqueue.size() || wcschr(u" \t\r\n", text[kEnqueue.size()]) != nullptr;
}

}  // namespace

CommandLineRequest ParseCommandLine(const std::u16string& text) {
  CommandLineRequest request;
  std::u16string rest = text;
  if (rest.compare(0, 8, u"/VOLUME=") == 0 && swscanf(rest.c_str(), u"/VOLUME=%d ", &request.volume) == 1) {
    request.hasVolume = true;
    const size_t blank = rest.find(u' ');
    rest = blank == std::u16string::npos ? std::u16string() : rest.substr(blank + 1);
  }
  if (IsSwitch(rest.c_str(), u"/WAKEUP")) {
    request.kind = CommandLineRequest::kWakeUp;
  } else if (IsSwitch(rest.c_str(), u"/SILENT")) {
    request.kind = CommandLineRequest::kSilent;
  } else if (IsEnqueueSwitch(rest)) {
    // A bare switch (nothing or only blanks after it) enqueues nothing.
    request.kind = CommandLineRequest::kEnqueue;
    request.path = rest.size() > kEnqueue.size() ? rest.substr(kEnqueue.size() + 1) : std::u16string();
  } else {
    request.path = rest;
  }
  return request;
}
