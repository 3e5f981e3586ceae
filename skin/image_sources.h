// Where image bytes come from: a file, a block of memory or one of the player's stream objects,
// each offered both as the BMP reader's callbacks and as the decompressor's read and seek.
#pragma once
#include <windows.h>

#include "skin/bmp_reader.h"
#include "skin/image_loader.h"

namespace zb::skin {

// One open source for the decompressor; lParam of its callbacks points to it.
class ImageSource {
 public:
  virtual ~ImageSource() = default;
  // Up to `count` bytes; 0 at the end or on failure.
  virtual DWORD Read(void* buffer, DWORD count) = 0;
  // False for an offset the source cannot reach.
  virtual bool Seek(LONG offset, DWORD origin, DWORD* position) = 0;
};

class FileImageSource : public ImageSource {
 public:
  explicit FileImageSource(HANDLE file) : file_(file) {}
  DWORD Read(void* buffer, DWORD count) override;
  bool Seek(LONG offset, DWORD origin, DWORD* position) override;

 private:
  HANDLE file_;
};

class MemoryImageSource : public ImageSource {
 public:
  explicit MemoryImageSource(const ImageMemory& memory) : memory_(memory) {}
  DWORD Read(void* buffer, DWORD count) override;
  bool Seek(LONG offset, DWORD origin, DWORD* position) override;

 private:
  ImageMemory memory_;
  DWORD position_ = 0;
};

class StreamImageSource : public ImageSource {
 public:
  explicit StreamImageSource(InputSource* stream) : stream_(stream) {}
  DWORD Read(void* buffer, DWORD count) override;
  bool Seek(LONG offset, DWORD origin, DWORD* position) override;

 private:
  InputSource* stream_;
};

// The BMP reader's callbacks over a memory block (source: const ImageMemory*) and over an open
// stream object (source: InputSource*, which they leave open).
extern const BmpSourceCallbacks kBmpMemoryCallbacks;
extern const BmpSourceCallbacks kBmpStreamCallbacks;

// The user context of one decode: the DC, the source, and the image-render object kept by the
// progress callback when a mask is wanted (released by whoever made the context).
struct ImageContext {
  HDC dc = nullptr;
  ImageSource* source = nullptr;
  bool wantMask = false;
  IImageRender* render = nullptr;
};

// The decompressor's callbacks; lParam points to the ImageContext.
DWORD CALLBACK ReadImageData(LPSTR buffer, DWORD count, LPARAM lParam);
HRESULT CALLBACK SeekImageData(LONGLONG offset, DWORD origin, DWORD* position, LPARAM lParam);
void CALLBACK KeepImageRender(IImageRender* render, BOOL complete, LPARAM lParam);

}  // namespace zb::skin
