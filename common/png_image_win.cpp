#include "common/png_image_win.h"

#include <windows.h>
#include <wincodec.h>

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T>
class CComRef {
 public:
  CComRef() = default;
  CComRef(const CComRef&) = delete;
  CComRef& operator=(const CComRef&) = delete;
  ~CComRef() {
    if (p_) p_->Release();
  }
  T** Out() { return &p_; }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// COM for the length of one decode, unless the thread had it already.
class CComScope {
 public:
  CComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~CComScope() {
    // S_OK and S_FALSE both count one initialisation; RPC_E_CHANGED_MODE
    // (the thread is in another apartment) counts none, and COM works.
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  CComScope(const CComScope&) = delete;
  CComScope& operator=(const CComScope&) = delete;

 private:
  HRESULT result_;
};

constexpr uint32_t kBytesPerPixel = 4;

}  // namespace

bool DecodePng(const uint8_t* bytes, size_t length, DecodedImage* image) {
  if (!bytes || length == 0 || length > MAXDWORD || !image) return false;
  CComScope com;
  CComRef<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(factory.Out())))) {
    return false;
  }
  CComRef<IWICStream> stream;
  CComRef<IWICBitmapDecoder> decoder;
  CComRef<IWICBitmapFrameDecode> frame;
  // The stream only reads the bytes.
  if (FAILED(factory->CreateStream(stream.Out())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), DWORD(length))) ||
      FAILED(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, decoder.Out())) ||
      FAILED(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand)) ||
      FAILED(decoder->GetFrame(0, frame.Out()))) {
    return false;
  }
  UINT width = 0;
  UINT height = 0;
  if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 ||
      uint64_t(width) * height > kPngPixelLimit) {
    return false;
  }
  CComRef<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr,
                                   0.0, WICBitmapPaletteTypeCustom))) {
    return false;
  }
  const UINT stride = width * kBytesPerPixel;
  std::vector<uint8_t> pixels(size_t(stride) * height);
  // A PNG cut short or with a damaged data stream fails here.
  if (FAILED(converter->CopyPixels(nullptr, stride, UINT(pixels.size()), pixels.data()))) return false;
  image->width = width;
  image->height = height;
  image->pixels.swap(pixels);
  return true;
}
