// zbdev send, post and copydata: the target is a window handle as `zbdev windows` prints it or
// a class name to look for; the message goes through SendMessageW or PostMessageW as any
// program's would, so the target's process sees nothing special.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <windows.h>

#include "device/text.h"
#include "commands.h"

namespace zb::zbdev {
namespace {

bool Number(std::string_view text, unsigned long long* value) {
  if (text.empty()) return false;
  std::string copy(text);
  errno = 0;
  char* end = nullptr;
  const bool negative = text[0] == '-';
  unsigned long long v = std::strtoull(copy.c_str() + (negative ? 1 : 0), &end, 0);
  if (errno || *end) return false;
  *value = negative ? 0 - v : v;
  return true;
}

HWND Target(std::string_view text) {
  unsigned long long value;
  if (Number(text, &value)) return IsWindow(reinterpret_cast<HWND>(value)) ? reinterpret_cast<HWND>(value) : nullptr;
  return FindWindowW(FromUtf8(text).c_str(), nullptr);
}

struct Message {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

bool Parse(char** args, Message* m, std::string* why) {
  m->hwnd = Target(args[0]);
  if (!m->hwnd) {
    *why = std::string("no window ") + args[0];
    return false;
  }
  unsigned long long message, wParam, lParam;
  if (!Number(args[1], &message) || message > 0xFFFFFFFF || !Number(args[2], &wParam) || !Number(args[3], &lParam)) {
    *why = "MSG, WPARAM and LPARAM must be numbers";
    return false;
  }
  *m = Message{m->hwnd, static_cast<UINT>(message), static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)};
  return true;
}

}  // namespace

int Send(int argc, char** args) {
  if (argc != 4) return 2;
  Message m;
  std::string why;
  if (!Parse(args, &m, &why)) return Fail(why);
  SetLastError(0);
  LRESULT result = SendMessageW(m.hwnd, m.message, m.wParam, m.lParam);
  if (!result && GetLastError() == ERROR_INVALID_WINDOW_HANDLE) return Fail("the window went away");
  std::printf("%lld\n", static_cast<long long>(result));
  return 0;
}

int Post(int argc, char** args) {
  if (argc != 4) return 2;
  Message m;
  std::string why;
  if (!Parse(args, &m, &why)) return Fail(why);
  if (!PostMessageW(m.hwnd, m.message, m.wParam, m.lParam))
    return Fail("cannot post: error " + std::to_string(GetLastError()));
  return 0;
}

int CopyData(int argc, char** args) {
  if (argc != 3) return 2;
  HWND hwnd = Target(args[0]);
  if (!hwnd) return Fail(std::string("no window ") + args[0]);
  unsigned long long tag;
  if (!Number(args[1], &tag)) return Fail("DWDATA must be a number");
  std::u16string text = FromUtf8(args[2]);
  COPYDATASTRUCT cds{static_cast<ULONG_PTR>(tag), static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)),
                     text.data()};
  SetLastError(0);
  LRESULT result = SendMessageW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
  if (!result && GetLastError() == ERROR_INVALID_WINDOW_HANDLE) return Fail("the window went away");
  std::printf("%lld\n", static_cast<long long>(result));
  return 0;
}

}  // namespace zb::zbdev
