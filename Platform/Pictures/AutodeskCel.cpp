// Autodesk Animator cels and pictures (cel, pic): a 32-byte header (magic
// 0x9119, size, position, depth 8, compression 0), a palette of 256 six-bit
// RGB triples and the pixel rows, top to bottom. Animator Pro writes its cels
// as one-frame animations (magic 0xAF12 at offset 4); of these the first
// frame is shown.
#include "Platform/Pictures/AutodeskFlic.h"
#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/MetafileBytes.h"
#include "Platform/Pictures/RareDecoders.h"

namespace platform {

std::unique_ptr<Picture> DecodeAutodesk(std::span<const std::uint8_t> Bytes, const DecodeHints&) {
  metafile::ByteReader R(Bytes);
  try {
    if (R.Has(0, 6) && R.U16(4) == 0xAF12) return DecodeFlicFirstFrame(Bytes);
    if (!R.Has(0, 32) || R.U16(0) != 0x9119) throw PictureError("Keine Autodesk-Datei");
    std::int64_t Width = R.U16(2), Height = R.U16(4);
    if (R.U8(10) != 8 || R.U8(11) != 0) throw PictureError("Autodesk-Format nicht unterstützt");
    std::size_t Pixels = static_cast<std::size_t>(Width * Height);
    if (!R.Has(800, Pixels)) throw PictureError("Autodesk-Datei unvollständig");
    RasterImage Image = MakeRaster(Width, Height);
    std::uint32_t Palette[256];
    for (int I = 0; I < 256; ++I) {
      auto Six = [&](int C) { return static_cast<std::uint32_t>((R.U8(32 + I * 3 + C) & 0x3F) * 255 / 63); };
      Palette[I] = 0xFF000000u | (Six(0) << 16) | (Six(1) << 8) | Six(2);
    }
    auto Data = R.Sub(800, Pixels);
    for (std::size_t I = 0; I < Pixels; ++I) Image.Pixels[I] = Palette[Data[I]];
    return MakeRasterPicture(std::move(Image));
  } catch (const metafile::ShortData&) {
    throw PictureError("Autodesk-Datei unvollständig");
  }
}

}  // namespace platform
