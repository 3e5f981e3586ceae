// The image-render object of a decoded image: draws it at any size over what a DC holds, and
// draws its mask, long after the decode call has returned.
#pragma once
#include <atomic>
#include <imgdecmp.h>

#include "imgdecmp/image_decoder.h"

namespace zb::imgdecmp {

class ImageRender final : public IImageRender {
 public:
  explicit ImageRender(RgbaImage image) : image_(std::move(image)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Draw(HDC hdc, const RECT* rect) override;
  HRESULT STDMETHODCALLTYPE GetOrigWidth(int* width) override;
  HRESULT STDMETHODCALLTYPE GetOrigHeight(int* height) override;
  HRESULT STDMETHODCALLTYPE HasTransparency(BOOL* transparent) override;
  HRESULT STDMETHODCALLTYPE DrawMask(HDC hdc, const RECT* rect) override;

 private:
  ~ImageRender() = default;
  const RgbaImage& AtSize(int width, int height);

  std::atomic<ULONG> refs_{1};
  RgbaImage image_;
  RgbaImage scaled_;  // the last size drawn, kept for the next draw at that size
};

}  // namespace zb::imgdecmp
