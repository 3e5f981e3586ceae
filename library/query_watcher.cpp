// The cancel watcher's thread: wait on the stop event with the poll interval as time-out, ask the
// callback at each time-out, raise the flag and end when it says cancel.
#include "query_watcher.h"

CQueryWatcher::Block::~Block() {
  if (stop) CloseHandle(stop);
}

CQueryWatcher::CQueryWatcher(QueryCancelCallback callback, DWORD_PTR context) : block_(std::make_shared<Block>()) {
  if (!callback) return;
  block_->callback = callback;
  block_->context = context;
  block_->stop = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!block_->stop) return;
  // The thread holds its own share of the block, so it may outlive this object safely.
  auto* share = new std::shared_ptr<Block>(block_);
  thread_ = CreateThread(nullptr, 0, Main, share, 0, nullptr);
  if (!thread_) delete share;
}

CQueryWatcher::~CQueryWatcher() {
  if (!thread_) return;
  SetEvent(block_->stop);
  WaitForSingleObject(thread_, 1000);
  CloseHandle(thread_);
}

DWORD WINAPI CQueryWatcher::Main(LPVOID parameter) {
  std::unique_ptr<std::shared_ptr<Block>> share(static_cast<std::shared_ptr<Block>*>(parameter));
  Block& block = **share;
  while (WaitForSingleObject(block.stop, kPollMs) == WAIT_TIMEOUT) {
    DWORD answer = 0, answerSize = sizeof(answer);
    if (block.callback(1, block.context, 0, 0, &answer, &answerSize) == 0 && answer != 0) {
      block.cancelled.store(true);
      break;
    }
  }
  return 0;
}
