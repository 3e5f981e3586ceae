// Snapshots of the decoded sound for the visualisation, and the choice of the one that matches
// what is heard now.
#include "core/vis/vis_sample_ring.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kSpareSlots = 3;
constexpr int kFewestSlots = 4;

}  // namespace

bool CVisSampleRing::Allocate(int visSpeed, int maxLatencyMs, const Allocator& allocate) {
  Free();
  visSpeed_ = visSpeed > 0 ? visSpeed : 1;
  int count = (visSpeed_ * maxLatencyMs * 2) / 1000 + 1;
  if (count < kFewestSlots) count = kFewestSlots;
  for (;; --count) {
    const size_t bytes = static_cast<size_t>(count + kSpareSlots) * kVisSlotBytes;
    void* memory = allocate ? allocate(bytes) : std::malloc(bytes);
    if (memory) {
      slots_ = static_cast<VisSlot*>(memory);
      count_ = count;
      Clear();
      return true;
    }
    if (count <= kFewestSlots) return false;
  }
}

void CVisSampleRing::Free() {
  std::free(slots_);
  slots_ = nullptr;
  count_ = 0;
  collected_ = 0;
}

void CVisSampleRing::Clear() {
  if (slots_) std::memset(slots_, 0, static_cast<size_t>(count_ + kSpareSlots) * kVisSlotBytes);
  collected_ = 0;
  anyStored_ = false;
  newest_ = 0;
}

VisSlot* CVisSampleRing::FreeSlot() {
  for (int i = count_ - 1; i >= 0; --i)
    if (!slots_[i].valid) return &slots_[i];
  // Full: the oldest snapshot lies furthest behind what the decoder delivers now.
  VisSlot* oldest = &slots_[0];
  for (int i = 1; i < count_; ++i)
    if (slots_[i].timeStamp < oldest->timeStamp) oldest = &slots_[i];
  return oldest;
}

void CVisSampleRing::Snapshot(const BYTE* frames, int channels, int bits, int sampleRate, int& timeStamp) {
  const int period = 1000 / visSpeed_;
  const DWORD stamp = static_cast<DWORD>(timeStamp);
  if (!anyStored_ || stamp > newest_ + period || stamp < newest_) {
    VisSlot* slot = FreeSlot();
    slot->valid = 1;
    slot->timeStamp = stamp;
    slot->format = static_cast<DWORD>(bits) << 16 | static_cast<DWORD>(channels);
    const int step = channels * bits / 8;
    for (int k = 0; k < kVisSnapshotFrames; ++k) {
      const BYTE* frame = frames + k * step;
      const BYTE* right = channels > 1 ? frame + bits / 8 : frame;
      // 8-bit PCM is unsigned; of 16-bit little-endian samples the high byte is enough.
      slot->pairs[2 * k] = static_cast<signed char>(bits == 8 ? frame[0] - 128 : frame[1]);
      slot->pairs[2 * k + 1] = static_cast<signed char>(bits == 8 ? right[0] - 128 : right[1]);
    }
    newest_ = stamp;
    anyStored_ = true;
  }
  timeStamp += period + 1;
  (void)sampleRate;
}

void CVisSampleRing::Feed(const BYTE* block, int bytes, int channels, int bits, int sampleRate, int timeStampMs) {
  if (!slots_ || !block || bytes <= 0) return;
  if ((bits != 8 && bits != 16) || channels < 1 || channels > 2) return;
  const int frameBytes = channels * bits / 8;
  const int need = frameBytes * kVisSnapshotFrames;
  int stride = (sampleRate / visSpeed_) * frameBytes;
  if (stride <= 0) stride = need;
  BYTE* spare = reinterpret_cast<BYTE*>(&slots_[count_]);
  int stamp = timeStampMs;
  if (collected_ > 0 || bytes < need) {
    if (collected_ == 0) collectedStamp_ = timeStampMs;
    const int take = bytes < need - collected_ ? bytes : need - collected_;
    std::memcpy(spare + collected_, block, static_cast<size_t>(take));
    collected_ += take;
    if (collected_ < need) return;
    collected_ = 0;
    int gathered = collectedStamp_;
    Snapshot(spare, channels, bits, sampleRate, gathered);
    // What is left of this block starts at its own time.
    block += take;
    bytes -= take;
    if (sampleRate > 0) stamp += static_cast<int>((static_cast<long long>(take / frameBytes) * 1000) / sampleRate);
  }
  int offset = 0;
  for (; bytes - offset >= need; offset += stride) Snapshot(block + offset, channels, bits, sampleRate, stamp);
  // A tail shorter than a snapshot waits in the spare slots for the next block.
  if (offset < bytes) {
    collectedStamp_ = stamp;
    collected_ = bytes - offset;
    std::memcpy(spare, block + offset, static_cast<size_t>(collected_));
  }
}

VisSlot* CVisSampleRing::Choose(int positionMs) {
  if (!slots_) return nullptr;
  const DWORD position = static_cast<DWORD>(positionMs < 0 ? 0 : positionMs);
  VisSlot* behind = nullptr;
  VisSlot* ahead = nullptr;
  for (int i = 0; i < count_; ++i) {
    VisSlot* slot = &slots_[i];
    if (!slot->valid) continue;
    if (slot->timeStamp <= position) {
      if (!behind || slot->timeStamp > behind->timeStamp) {
        if (behind) behind->valid = 0;  // passed by a nearer one
        behind = slot;
      } else {
        slot->valid = 0;
      }
    } else if (!ahead || slot->timeStamp < ahead->timeStamp) {
      ahead = slot;
    }
  }
  if (behind) return behind;
  if (ahead && ahead->timeStamp - position <= static_cast<DWORD>(1000 / visSpeed_)) return ahead;
  return nullptr;
}
