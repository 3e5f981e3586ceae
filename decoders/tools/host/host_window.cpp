// The host window and the device of one file. The window only has to exist: the decode thread
// posts to it, and the waiting thread takes the message off its own queue.
#include "host_window.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "device/text.h"
#include "end_of_stream.h"

HWND CreateHostWindow() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = u"DecoderHost";
  RegisterClassW(&wc);
  return CreateWindowExW(0, u"DecoderHost", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

int WaitForEndOfStream(HWND window, DWORD maxMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.hwnd == window && msg.message == DECODER_END_OF_STREAM_MESSAGE) return static_cast<int>(msg.wParam);
      DispatchMessageW(&msg);
    }
    const DWORD waited = GetTickCount() - start;
    if (maxMs != INFINITE && waited >= maxMs) return -1;
    MsgWaitForMultipleObjectsEx(0, nullptr, maxMs == INFINITE ? INFINITE : maxMs - waited, QS_ALLINPUT, 0);
  }
}

bool UseFileFolderAsDevice(const char* tool, const char* hostFile, std::u16string* devicePath) {
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::absolute(hostFile, ec);
  if (ec || !std::filesystem::is_regular_file(file, ec)) {
    std::fprintf(stderr, "%s: no such file: %s\n", tool, hostFile);
    return false;
  }
  setenv("ZONBREL_DEVICE", file.parent_path().c_str(), 1);
  *devicePath = u"\\" + zb::FromUtf8(file.filename().string());
  return true;
}
