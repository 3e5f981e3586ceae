// Tag readers' access to a stream object: open as a tag reader, read exact blocks, close.
#include "source_reading.h"

#include <climits>

SingleShotOpen::SingleShotOpen(InputSource* source, LPCWSTR path) : source_(source) {
  source_->openFlags = INPUT_OPEN_SINGLE_SHOT;
  ok_ = source_->Open(source_, path) == 0;
  source_->openFlags = 0;
  if (ok_) length_ = source_->GetLength(source_);
}

SingleShotOpen::~SingleShotOpen() {
  if (!ok_) return;
  source_->Seek(source_, INPUT_SEEK_SET, 0);
  source_->Close(source_);
}

bool ReadAt(InputSource* source, DWORD offset, void* buffer, size_t size) {
  if (size > INT_MAX) return false;
  if (source->Seek(source, INPUT_SEEK_SET, static_cast<int>(offset)) != 0) return false;
  return source->Read(source, buffer, 1, static_cast<int>(size)) == static_cast<int>(size);
}

std::vector<BYTE> ReadBlock(InputSource* source, DWORD offset, size_t size) {
  std::vector<BYTE> block(size);
  if (!ReadAt(source, offset, block.data(), size)) block.clear();
  return block;
}
