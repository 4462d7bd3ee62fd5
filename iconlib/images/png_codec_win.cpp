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

// RGBA and BGRA into each other, in place: size bytes of whole pixels.
void SwapRedAndBlue(uint8_t* pixels, size_t size) {
  for (size_t i = 0; i + 3 < size; i += 4) std::swap(pixels[i], pixels[i + 2]);
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
  SwapRedAndBlue(bgra.data(), bgra.size());
  const UINT stride = image.width * 4;
  return SUCCEEDED(frame->WritePixels(image.height, stride, static_cast<UINT>(bgra.size()),
                                      bgra.data())) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()) &&
         StreamBytes(stream.get(), out);
}

// The first frame through WIC's PNG decoder (no other codec is asked),
// converted to 8-bit BGRA. The converter's source chain is held here with it.
struct ConvertedFrame {
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT width = 0, height = 0;
};

PngCodecError OpenConverted(IWICImagingFactory* factory, ByteSpan bytes, ConvertedFrame* f) {
  // InitializeFromMemory only reads the buffer, though it takes it writable.
  if (FAILED(factory->CreateStream(f->stream.put())) ||
      FAILED(f->stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                             static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, f->decoder.put())) ||
      FAILED(f->decoder->Initialize(f->stream.get(), WICDecodeMetadataCacheOnDemand)) ||
      FAILED(f->decoder->GetFrame(0, f->frame.put())) ||
      FAILED(f->frame->GetSize(&f->width, &f->height))) {
    return PngCodecError::Malformed;
  }
  const PngCodecError size = PixelCountError(f->width, f->height);
  if (size != PngCodecError::None) return size;
  if (FAILED(factory->CreateFormatConverter(f->converter.put())) ||
      FAILED(f->converter->Initialize(f->frame.get(), GUID_WICPixelFormat32bppBGRA,
                                      WICBitmapDitherTypeNone, nullptr, 0.0,
                                      WICBitmapPaletteTypeCustom))) {
    return PngCodecError::Malformed;
  }
  return PngCodecError::None;
}

// The whole image in one copy, then to RGBA.
PngCodecError Decode(IWICImagingFactory* factory, ByteSpan bytes, RgbaImage* out) {
  ConvertedFrame f;
  const PngCodecError error = OpenConverted(factory, bytes, &f);
  if (error != PngCodecError::None) return error;
  out->width = f.width;
  out->height = f.height;
  out->pixels.resize(size_t{f.width} * f.height * 4);
  if (FAILED(f.converter->CopyPixels(nullptr, f.width * 4, static_cast<UINT>(out->pixels.size()),
                                     out->pixels.data()))) {
    *out = RgbaImage();
    return PngCodecError::Malformed;
  }
  SwapRedAndBlue(out->pixels.data(), out->pixels.size());
  return PngCodecError::None;
}

// A row at a time: each row's rectangle copied from the converter, to RGBA,
// to the sink.
PngCodecError DecodeRows(IWICImagingFactory* factory, ByteSpan bytes, RgbaRowSink* sink) {
  ConvertedFrame f;
  const PngCodecError error = OpenConverted(factory, bytes, &f);
  if (error != PngCodecError::None) return error;
  if (!sink->Begin(f.width, f.height)) return PngCodecError::Refused;
  std::vector<uint8_t> row(size_t{f.width} * 4);
  for (UINT y = 0; y < f.height; ++y) {
    const WICRect rect = {0, static_cast<INT>(y), static_cast<INT>(f.width), 1};
    if (FAILED(f.converter->CopyPixels(&rect, f.width * 4, static_cast<UINT>(row.size()),
                                       row.data()))) {
      return PngCodecError::Malformed;
    }
    SwapRedAndBlue(row.data(), row.size());
    sink->TakeRow(row.data());
  }
  return PngCodecError::None;
}

// What both decodings check before WIC sees the bytes, then COM and a factory.
PngCodecError StartDecoding(ByteSpan bytes, const ComSession& com,
                            ComPtr<IWICImagingFactory>* factory) {
  PngHeader header;
  const PngCodecError error = DecodableHeaderError(bytes, &header);
  if (error != PngCodecError::None) return error;
  if (bytes.size() > MAXDWORD) return PngCodecError::Malformed;
  if (!com.ready() || !CreateFactory(factory)) return PngCodecError::Unavailable;
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
  const ComSession com;
  ComPtr<IWICImagingFactory> factory;
  result.error = StartDecoding(bytes, com, &factory);
  if (result.ok()) result.error = Decode(factory.get(), bytes, &result.image);
  return result;
}

PngCodecError DecodePngRows(ByteSpan bytes, RgbaRowSink* sink) {
  const ComSession com;
  ComPtr<IWICImagingFactory> factory;
  const PngCodecError error = StartDecoding(bytes, com, &factory);
  return error == PngCodecError::None ? DecodeRows(factory.get(), bytes, sink) : error;
}

}  // namespace vantorico
