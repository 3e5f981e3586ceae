// The Local Content event sink: the library's scan-state object. It pauses the updaters while
// the library is unavailable, resumes them when it comes back and has them rebuild their lists
// when it opens anew; and it tells the query engine whether a scan of this run has ended.
#include <map>

#include "local_content.h"
#include "local_content_updater.h"
#include "media_library.h"

namespace {

// Rows a scan saw or stored are simply present: the mark is the store's own 1, so the validity
// modes that wait for a scan list the same rows as mode 2 once one has ended.
constexpr LONG kScanMark = 1;
// The pass number once a scan of this run has ended. The library's unforced invalidation acts
// only on the pass its count reaches, and no count reaches this one: the scan never marks the
// files it did not reach as missing (a stopped scan, a card out, a library reopened).
constexpr DWORD kScanEnded = 0xFFFFFFFF;
constexpr LONG kRebuild = -1, kPaused = 0, kRunning = 1;

struct SinkState {
  std::map<HWND, LONG*> windows;
  bool active = true;
  DWORD changes = 0;
};

SinkState& State() {
  static SinkState state;
  return state;
}

void SetAll(LONG runState) {
  SinkState& state = State();
  state.active = runState != kPaused;
  for (auto& [window, run] : state.windows) {
    *run = runState;
    PostMessageW(window, WM_TIMER, LCTIMER_VALIDATE, 0);
  }
}

class CLocalContentSink;
CLocalContentSink* g_sink = nullptr;  // the sink of the library now made; a scan's end tells it

class CLocalContentSink : public CComObject<ILibraryScanSink> {
 public:
  CLocalContentSink() { g_sink = this; }
  ~CLocalContentSink() override {
    if (g_sink == this) g_sink = nullptr;
  }
  void MarkScanned() { scanned_ = true; }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override { return Answer(riid, object, {}); }
  STDMETHODIMP_(DWORD) GetScanPass() override { return scanned_ ? kScanEnded : 0; }
  STDMETHODIMP_(LONG) GetMark() override { return kScanMark; }
  STDMETHODIMP_(void) Reserved() override {}
  STDMETHODIMP_(void) OnLibraryOpened() override { SetAll(kRebuild); }
  STDMETHODIMP_(void) OnLibraryAvailable() override { SetAll(kRunning); }
  STDMETHODIMP_(void) OnLibraryUnavailable() override { SetAll(kPaused); }

 private:
  bool scanned_ = false;
};

}  // namespace

ILibraryScanSink* CreateLocalContentSink() { return new CLocalContentSink; }

void MarkLocalContentScanned() {
  if (g_sink) g_sink->MarkScanned();
}

void RegisterScanWindow(HWND window, LONG* runState) {
  SinkState& state = State();
  state.windows[window] = runState;
  ++state.changes;
  if (!state.active) {
    *runState = kPaused;
    PostMessageW(window, WM_TIMER, LCTIMER_VALIDATE, 0);
  }
}

void UnregisterScanWindow(HWND window) {
  SinkState& state = State();
  if (state.windows.erase(window)) ++state.changes;
}
