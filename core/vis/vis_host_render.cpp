// One frame on the refresh thread: the snapshot that matches the play position goes into the
// module's waveform and spectrum data and into the built-in view's buffer; then the module
// draws, then the built-in view.
#include <cstdlib>
#include <cstring>

#include "core/output/fft.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "core/vis/vis_host.h"

namespace {

constexpr UINT kControlMessage = 1428;

void SpectrumOf(const signed char* waveform, unsigned char* spectrum) {
  static LONG re[1024], im[1024];  // only the refresh thread renders
  std::memset(re, 0, sizeof re);
  std::memset(im, 0, sizeof im);
  for (int i = 0; i < VIS_SAMPLES; ++i) re[i] = waveform[i] * 128;
  FixedFft(re, im, 9, FALSE);
  for (int i = 0; i < VIS_SAMPLES; ++i) spectrum[i] = i < 512 ? static_cast<unsigned char>(std::labs(im[i]) / 2) : 0;
}

}  // namespace

void CVisHost::FillModuleData(VisModule* module, const VisSlot& slot) {
  if (!IsOverlay()) {
    for (int k = 0; k < VIS_SAMPLES; ++k) {
      module->waveformData[0][k] = slot.pairs[2 * k];
      module->waveformData[1][k] = slot.pairs[2 * k + 1];
    }
  }
  if (!(module->flags & 0x0002)) {
    SpectrumOf(module->waveformData[0], module->spectrumData[0]);
    SpectrumOf(module->waveformData[1], module->spectrumData[1]);
  }
}

void CVisHost::Render(int redraw) {
  Lock(3);
  if (!ring_.Exists() || hidden_) {
    if (module_ && (module_->flags & ZB_VIS_FLAG_IDLE_NOTIFY) && module_->notify)
      module_->notify(0, reinterpret_cast<void*>(static_cast<INT_PTR>(redraw)), 4, nullptr, 0);
    Unlock(3);
    return;
  }
  const unsigned frame = frame_++;
  const int position = core_ && core_->IsPlaying() ? core_->GetOutputTime() : 0;
  VisSlot* slot = ring_.Choose(position);
  VisModule* module = module_;
  const BOOL shown = moduleView_ && module;
  bool refreshed = false;
  if (module) {
    RefreshFrameFields(module);
    module->spectrumChannels = module->waveformChannels = channels_;
    if (slot) FillModuleData(module, *slot);
  }
  if (slot) {
    if (!shown || IsOverlay()) {
      std::memcpy(buffer_, slot->pairs, sizeof buffer_);
      idle_ = 0;
      refreshed = true;
    }
    std::memset(slot, 0, sizeof *slot);
  } else if (++idle_ > visSpeed_ && !shown) {
    FillVisIdlePattern(buffer_, sizeof buffer_, mode_, frame);
    refreshed = true;
  }
  ringSection_.Leave();

  HWND window = core_ ? core_->GetMainWindow() : nullptr;
  if (module && frame_ == frame + 1) {
    if (module->flags & ZB_VIS_FLAG_RESTART_BITS) {
      if (redraw) module->restartBits |= 2; else module->restartBits &= ~2u;
    }
    module->hwndParent = window;
    const int answer = CallWithDc(window, module, module->Render);
    if (answer < 0 && window) PostMessageW(window, kControlMessage, 0x1008B, 3);
  }
  if (refreshed && frame_ == frame + 1) DrawBuiltInView(window, sizeof buffer_, buffer_, redraw);
  moduleSection_.Leave();
}
