// The Windows Imaging Component's own PNG encoder and decoder, in memory.
// WIC's 32-bit BGRA is straight alpha like RgbaImage, so only the red and
// blue bytes trade places. Each call holds COM for itself; in a program that
// holds it for its whole run (the console program) that only counts a use.
#include <windows.h>
#include <wincodec.h>

#include <utility>

#include "base/win_handles.h"
#include "iconlib/images/png_codec.h"
#include "iconlib/formats/png_header.h"

namespace vantorico {
namespace {

// RGBA and BGRA into each other, in place.
void SwapRedAndBlue(std::vector<uint8_t>* pixels) {
  for (size_t i = 0; i + 3 < pixels->size(); i += 4) std::swap((*pixels)[i], (*pixels)[i + 2]);
}

bool CreateFactory(ComPtr<IWICImagingFactory>* factory) {
  return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(factory->put())));
}

// The encoder's whole output: the bytes of the memory stream it wrote.
bool StreamBytes(IStream* stream, std::vector<uint8_t>* out) {
  STATSTG stat{};
  HGLOBAL memory = nullptr;  // the stream's own; released with it
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) ||
      FAILED(GetHGlobalFromStream(stream, &memory)) || stat.cbSize.QuadPart == 0 ||
      stat.cbSize.QuadPart > GlobalSize(memory)) {
    return false;
  }
  const GlobalLockGuard lock(memory);
  if (!lock.get()) return false;
  const uint8_t* bytes = static_cast<const uint8_t*>(lock.get());
  out->assign(bytes, bytes + static_cast<size_t>(stat.cbSize.QuadPart));
  return true;
}

// 8-bit RGBA, not interlaced (the encoder's default), as WIC writes it.
bool Encode(IWICImagingFactory* factory, const RgbaImage& image, std::vector<uint8_t>* out) {
  ComPtr<IStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) ||
      FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.put(), options.put())) ||
      FAILED(frame->Initialize(options.get())) ||
      FAILED(frame->SetSize(image.width, image.height))) {
    return false;
  }
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  // The encoder may answer with the nearest format it writes: only this one will do.
  if (FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat32bppBGRA) {
    return false;
  }
  std::vector<uint8_t> bgra = image.pixels;
  SwapRedAndBlue(&bgra);
  const UINT stride = image.width * 4;
  return SUCCEEDED(frame->WritePixels(image.height, stride, static_cast<UINT>(bgra.size()),
                                      bgra.data())) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()) &&
         StreamBytes(stream.get(), out);
}

// The first frame through WIC's PNG decoder (no other codec is asked),
// converted to 8-bit BGRA and then to RGBA.
PngCodecError Decode(IWICImagingFactory* factory, ByteSpan bytes, RgbaImage* out) {
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT width = 0, height = 0;
  // InitializeFromMemory only reads the buffer, though it takes it writable.
  if (FAILED(factory->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, decoder.put())) ||
      FAILED(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand)) ||
      FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height))) {
    return PngCodecError::Malformed;
  }
  const PngCodecError size = PixelCountError(width, height);
  if (size != PngCodecError::None) return size;
  if (FAILED(factory->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return PngCodecError::Malformed;
  }
  out->width = width;
  out->height = height;
  out->pixels.resize(size_t{width} * height * 4);
  if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(out->pixels.size()),
                                   out->pixels.data()))) {
    *out = RgbaImage();
    return PngCodecError::Malformed;
  }
  SwapRedAndBlue(&out->pixels);
  return PngCodecError::None;
}

}  // namespace

PngEncodeResult EncodePng(const RgbaImage& image) {
  PngEncodeResult result;
  result.error = EncodableImageError(image);
  if (!result.ok()) return result;
  const ComSession com;
  ComPtr<IWICImagingFactory> factory;
  if (!com.ready() || !CreateFactory(&factory)) {
    result.error = PngCodecError::Unavailable;
    return result;
  }
  if (!Encode(factory.get(), image, &result.bytes)) {
    result.bytes.clear();
    result.error = PngCodecError::Malformed;
  }
  return result;
}

PngDecodeResult DecodePng(ByteSpan bytes) {
  PngDecodeResult result;
  PngHeader header;
  result.error = DecodableHeaderError(bytes, &header);
  if (result.ok() && bytes.size() > MAXDWORD) result.error = PngCodecError::Malformed;
  if (!result.ok()) return result;
  const ComSession com;
  ComPtr<IWICImagingFactory> factory;
  if (!com.ready() || !CreateFactory(&factory)) {
    result.error = PngCodecError::Unavailable;
    return result;
  }
  result.error = Decode(factory.get(), bytes, &result.image);
  return result;
}

}  // namespace vantorico
