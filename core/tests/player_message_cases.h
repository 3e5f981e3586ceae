// The table form of the player callback tests: each case arranges the in and out buffers of one
// call, names the result, and checks what was written and what changed in the player. Every
// out buffer carries guard bytes behind its size, and the runner checks they stayed.
#pragma once
#include <functional>
#include <optional>

#include "player_message_support.h"

namespace zb::testing {

struct MessageArgs {
  void* in = nullptr;
  UINT inSize = 0;
  std::optional<GuardedOut> out;
  // Storage the in buffer may point into.
  DWORD word = 0;
  std::u16string text;
  std::string bytes;
  MSG msg{};
  GUID guid{};
  void* pointer = nullptr;

  void Word(DWORD value, UINT size = sizeof(DWORD)) {
    word = value;
    in = &word;
    inSize = size;
  }
  void Text(std::u16string value) {
    text = std::move(value);
    in = text.data();
    inSize = static_cast<UINT>((text.size() + 1) * sizeof(char16_t));
  }
  void Pointer(void* value, UINT size = sizeof(void*)) {
    in = value;
    inSize = size;
  }
  GuardedOut& Out(size_t size) { return out.emplace(size); }
  void* OutPointer() { return out ? out->As<void*>() : nullptr; }
};

struct MessageCase {
  const char* name;
  UINT id;
  std::function<void(MessageArgs&)> arrange;
  int result;
  std::function<void(MessageArgs&)> check;  // may be empty
};

// `send` delivers each call: the player callback itself, or a plug-in that sends it.
inline void RunMessageCases(const std::vector<MessageCase>& cases, PlayerCallbackFn send = PlayerCallback) {
  for (const MessageCase& c : cases) {
    MessageArgs args;
    if (c.arrange) c.arrange(args);
    const int result = send(c.id, args.in, args.inSize, args.out ? args.out->get() : nullptr,
                                      args.out ? args.out->size() : 0);
    EXPECT_EQ(result, c.result) << c.name;
    if (args.out) EXPECT_TRUE(args.out->GuardsIntact()) << c.name << ": written past the out size";
    if (c.check) c.check(args);
  }
}

}  // namespace zb::testing
