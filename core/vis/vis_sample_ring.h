// The visualisation host's sample ring: snapshots of 576 sample pairs taken from the decoder's
// PCM blocks every 1/visSpeed second, each with its time stamp, kept until the play position
// reaches them. Three spare slots behind the ring collect blocks shorter than one snapshot.
#pragma once
#include <windows.h>

#include <functional>

constexpr int kVisSlotHeader = 12;
constexpr int kVisSlotBytes = kVisSlotHeader + 1152;  // 1164
constexpr int kVisSnapshotFrames = 576;

struct VisSlot {
  DWORD valid;
  DWORD timeStamp;  // ms
  DWORD format;     // bits per sample << 16 | channels
  signed char pairs[1152];
};
static_assert(sizeof(VisSlot) == kVisSlotBytes, "a slot is 12 bytes of header and 1152 of samples");

class CVisSampleRing {
 public:
  using Allocator = std::function<void*(size_t)>;
  ~CVisSampleRing() { Free(); }

  // (visSpeed × maxLatency × 2) / 1000 + 1 slots; with memory short, one fewer at a time down to
  // 4 before giving up. False without a ring.
  bool Allocate(int visSpeed, int maxLatencyMs, const Allocator& allocate = nullptr);
  void Free();
  void Clear();
  bool Exists() const { return slots_ != nullptr; }
  int SlotCount() const { return count_; }
  VisSlot* Slot(int i) { return &slots_[i]; }

  // A decoder's PCM block; time stamp in ms of its first frame.
  void Feed(const BYTE* block, int bytes, int channels, int bitsPerSample, int sampleRate, int timeStampMs);
  // The valid slot nearest to `positionMs` (null when none fits); older slots that lose to it
  // are dropped. A slot ahead of the position counts only within one frame period.
  VisSlot* Choose(int positionMs);

 private:
  void Snapshot(const BYTE* frames, int channels, int bits, int sampleRate, int& timeStamp);
  VisSlot* FreeSlot();

  VisSlot* slots_ = nullptr;
  int count_ = 0;
  int visSpeed_ = 10;
  int collected_ = 0;  // bytes gathered in the spare slots towards the next snapshot
  int collectedStamp_ = 0;
  DWORD newest_ = 0;
  bool anyStored_ = false;
};
