// Bitmap decoding for metafile records. Every size is checked against the
// record before a pixel is touched; the pixel count is bounded by the picture
// limits, so a hostile header cannot make us allocate without bound.
#include "Platform/Pictures/MetafileDib.h"

#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/MetafileBytes.h"
#include "Platform/Pictures/Picture.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

namespace platform::metafile {

namespace {

constexpr std::uint32_t BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitfields = 3, BiJpeg = 4, BiPng = 5,
                        BiAlphaBitfields = 6;

struct Header {
  std::uint32_t Size = 0;
  std::int64_t Width = 0;
  std::int64_t Height = 0;  // negative: top-down
  int BitCount = 0;
  std::uint32_t Compression = BiRgb;
  std::uint32_t ColorsUsed = 0;
  bool Core = false;
};

Header ReadHeader(const ByteReader& R) {
  Header H;
  H.Size = R.U32(0);
  if (H.Size == 12) {
    H.Core = true;
    H.Width = R.U16(4);
    H.Height = R.U16(6);
    H.BitCount = R.U16(10);
  } else if (H.Size >= 40 && H.Size <= 1024) {
    H.Width = R.I32(4);
    H.Height = R.I32(8);
    H.BitCount = R.U16(14);
    H.Compression = R.U32(16);
    H.ColorsUsed = R.U32(32);
  } else {
    throw ShortData();
  }
  return H;
}

// Number of colour-table entries stored after the header.
std::uint32_t StoredColors(const Header& H) {
  if (H.BitCount <= 8) {
    std::uint32_t Max = 1u << H.BitCount;
    return H.ColorsUsed == 0 ? Max : std::min<std::uint32_t>(H.ColorsUsed, 256);
  }
  return std::min<std::uint32_t>(H.ColorsUsed, 256);
}

std::size_t MaskBytes(const Header& H) {
  if (H.Size == 40 && H.Compression == BiBitfields) return 12;
  if (H.Size == 40 && H.Compression == BiAlphaBitfields) return 16;
  return 0;
}

std::uint32_t Opaque(std::uint8_t R, std::uint8_t G, std::uint8_t B) {
  return 0xFF000000u | (std::uint32_t{R} << 16) | (std::uint32_t{G} << 8) | B;
}

// One channel out of a masked pixel, scaled to 8 bits.
std::uint8_t Channel(std::uint32_t Pixel, std::uint32_t Mask) {
  if (Mask == 0) return 0;
  int Shift = std::countr_zero(Mask);
  std::uint32_t Max = Mask >> Shift;
  std::uint32_t Value = (Pixel & Mask) >> Shift;
  return static_cast<std::uint8_t>(Value * 255u / Max);
}

struct Target {
  std::uint32_t* Pixels;
  int Stride;  // in pixels
  int Width;
  int Height;
  bool BottomUp;
  void Set(int X, int StoredRow, std::uint32_t Value) {
    if (X < 0 || X >= Width || StoredRow < 0 || StoredRow >= Height) return;
    int Row = BottomUp ? Height - 1 - StoredRow : StoredRow;
    Pixels[static_cast<std::size_t>(Row) * Stride + X] = Value;
  }
};

void DecodeRle(std::span<const std::uint8_t> Bits, bool Four, const std::vector<std::uint32_t>& Palette,
               Target& T) {
  auto Color = [&](unsigned Index) { return Index < Palette.size() ? Palette[Index] : 0xFF000000u; };
  std::size_t P = 0;
  int X = 0, Y = 0;
  while (P + 1 < Bits.size() && Y < T.Height) {
    unsigned Count = Bits[P], Value = Bits[P + 1];
    P += 2;
    if (Count > 0) {
      for (unsigned I = 0; I < Count; ++I, ++X) {
        unsigned Index = Four ? ((I & 1) ? (Value & 0x0F) : (Value >> 4)) : Value;
        T.Set(X, Y, Color(Index));
      }
    } else if (Value == 0) {
      X = 0;
      ++Y;
    } else if (Value == 1) {
      break;
    } else if (Value == 2) {
      if (P + 1 >= Bits.size()) break;
      X += Bits[P];
      Y += Bits[P + 1];
      P += 2;
    } else {
      unsigned N = Value;
      std::size_t Bytes = Four ? (N + 1) / 2 : N;
      if (P + Bytes > Bits.size()) break;
      for (unsigned I = 0; I < N; ++I, ++X) {
        unsigned Index = Four ? ((I & 1) ? (Bits[P + I / 2] & 0x0F) : (Bits[P + I / 2] >> 4)) : Bits[P + I];
        T.Set(X, Y, Color(Index));
      }
      P += (Bytes + 1) & ~std::size_t{1};
    }
  }
}

std::optional<Dib> FromRaster(const RasterImage& Image, bool BottomUp) {
  Dib Out;
  Out.Width = Image.Width;
  Out.Height = Image.Height;
  Out.BottomUp = BottomUp;
  Out.BitCount = 32;
  Out.Surface = MakeSurface(Image.Width, Image.Height);
  if (!Out.Surface) return std::nullopt;
  auto* Data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(Out.Surface.get()));
  int Stride = cairo_image_surface_get_stride(Out.Surface.get()) / 4;
  for (int Y = 0; Y < Image.Height; ++Y)
    for (int X = 0; X < Image.Width; ++X) {
      std::uint32_t P = Image.At(X, Y);
      std::uint32_t A = P >> 24;
      auto Pre = [A](std::uint32_t C) { return (C * A + 127) / 255; };
      Data[static_cast<std::size_t>(Y) * Stride + X] =
          (A << 24) | (Pre((P >> 16) & 0xFF) << 16) | (Pre((P >> 8) & 0xFF) << 8) | Pre(P & 0xFF);
    }
  cairo_surface_mark_dirty(Out.Surface.get());
  return Out;
}

}  // namespace

SurfacePtr MakeSurface(int Width, int Height) {
  SurfacePtr S(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, Width, Height));
  if (cairo_surface_status(S.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return S;
}

std::optional<Dib> DecodeDib(std::span<const std::uint8_t> Info, std::span<const std::uint8_t> Bits,
                             bool KeepAlpha) {
  try {
    ByteReader R(Info);
    Header H = ReadHeader(R);
    bool BottomUp = H.Height > 0;
    std::int64_t Width = H.Width, Height = H.Height < 0 ? -H.Height : H.Height;

    if (H.Compression == BiJpeg || H.Compression == BiPng) {
      auto Pic = DecodePicture(H.Compression == BiJpeg ? "jpg" : "png", Bits);
      if (!Pic || !Pic->Raster()) return std::nullopt;
      return FromRaster(*Pic->Raster(), BottomUp);
    }
    static constexpr std::array Allowed{1, 4, 8, 16, 24, 32};
    if (std::find(Allowed.begin(), Allowed.end(), H.BitCount) == Allowed.end()) return std::nullopt;
    CheckRasterSize(Width, Height);
    std::size_t RowBytes = ((static_cast<std::size_t>(Width) * H.BitCount + 31) / 32) * 4;
    bool Rle = H.Compression == BiRle8 || H.Compression == BiRle4;
    // Uncompressed rows must all be there; run-length data may skip pixels,
    // but not to a bitmap beyond any plausible compression of its bytes.
    if (!Rle && Bits.size() < RowBytes * static_cast<std::size_t>(Height)) return std::nullopt;
    if (Rle && static_cast<std::uint64_t>(Width * Height) > std::max<std::uint64_t>(Bits.size() * 1024, 1u << 20))
      return std::nullopt;

    // Colour table (quads, or triples for a core header) and masks.
    std::size_t TableOffset = H.Size + MaskBytes(H);
    std::uint32_t Colors = StoredColors(H);
    std::size_t Entry = H.Core ? 3 : 4;
    std::vector<std::uint32_t> Palette;
    for (std::uint32_t I = 0; I < Colors && R.Has(TableOffset + I * Entry, 3); ++I) {
      std::size_t O = TableOffset + I * Entry;
      Palette.push_back(Opaque(R.U8(O + 2), R.U8(O + 1), R.U8(O)));
    }
    std::uint32_t RMask = 0, GMask = 0, BMask = 0, AMask = 0;
    if (H.BitCount == 16) RMask = 0x7C00, GMask = 0x03E0, BMask = 0x001F;
    if (H.BitCount == 32) RMask = 0xFF0000, GMask = 0xFF00, BMask = 0xFF, AMask = KeepAlpha ? 0xFF000000 : 0;
    if (H.Compression == BiBitfields || H.Compression == BiAlphaBitfields) {
      RMask = R.U32(40);
      GMask = R.U32(44);
      BMask = R.U32(48);
      if (H.Compression == BiAlphaBitfields || (H.Size >= 56 && KeepAlpha)) AMask = R.Has(52, 4) ? R.U32(52) : 0;
    }

    Dib Out;
    Out.Width = static_cast<int>(Width);
    Out.Height = static_cast<int>(Height);
    Out.BottomUp = BottomUp;
    Out.BitCount = H.BitCount;
    Out.Surface = MakeSurface(Out.Width, Out.Height);
    if (!Out.Surface) return std::nullopt;
    cairo_surface_flush(Out.Surface.get());
    Target T{reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(Out.Surface.get())),
             cairo_image_surface_get_stride(Out.Surface.get()) / 4, Out.Width, Out.Height, BottomUp};

    if (Rle) {
      if (H.BitCount != (H.Compression == BiRle8 ? 8 : 4)) return std::nullopt;
      DecodeRle(Bits, H.Compression == BiRle4, Palette, T);
    } else if (H.Compression == BiRgb || H.Compression == BiBitfields || H.Compression == BiAlphaBitfields) {
      auto Color = [&](unsigned Index) { return Index < Palette.size() ? Palette[Index] : 0xFF000000u; };
      bool AnyAlpha = false;
      for (int Y = 0; Y < Out.Height; ++Y) {
        std::size_t Row = static_cast<std::size_t>(Y) * RowBytes;
        const std::uint8_t* S = Bits.data() + Row;
        for (int X = 0; X < Out.Width; ++X) {
          std::uint32_t V;
          switch (H.BitCount) {
            case 1: V = Color((S[X >> 3] >> (7 - (X & 7))) & 1); break;
            case 4: V = Color((X & 1) ? (S[X >> 1] & 0x0F) : (S[X >> 1] >> 4)); break;
            case 8: V = Color(S[X]); break;
            case 24: V = Opaque(S[X * 3 + 2], S[X * 3 + 1], S[X * 3]); break;
            default: {
              std::uint32_t P = H.BitCount == 16 ? std::uint32_t(S[X * 2] | (S[X * 2 + 1] << 8))
                                                 : std::uint32_t(S[X * 4] | (S[X * 4 + 1] << 8) |
                                                                 (S[X * 4 + 2] << 16) | (std::uint32_t(S[X * 4 + 3]) << 24));
              std::uint8_t A = AMask ? Channel(P, AMask) : 255;
              if (A != 0) AnyAlpha = true;
              V = (std::uint32_t{A} << 24) | (std::uint32_t{Channel(P, RMask)} << 16) |
                  (std::uint32_t{Channel(P, GMask)} << 8) | Channel(P, BMask);
            }
          }
          T.Set(X, Y, V);
        }
      }
      // A 32-bit bitmap whose alpha bytes are all zero is an opaque bitmap
      // that never used its fourth byte.
      if (AMask && !AnyAlpha) {
        for (int Y = 0; Y < Out.Height; ++Y)
          for (int X = 0; X < Out.Width; ++X) T.Pixels[static_cast<std::size_t>(Y) * T.Stride + X] |= 0xFF000000u;
      } else if (AMask) {
        // Keep colour within alpha, as premultiplied pixels require.
        for (int Y = 0; Y < Out.Height; ++Y)
          for (int X = 0; X < Out.Width; ++X) {
            std::uint32_t& P = T.Pixels[static_cast<std::size_t>(Y) * T.Stride + X];
            std::uint32_t A = P >> 24;
            std::uint32_t Rr = std::min((P >> 16) & 0xFF, A), G = std::min((P >> 8) & 0xFF, A), B = std::min(P & 0xFF, A);
            P = (A << 24) | (Rr << 16) | (G << 8) | B;
          }
      }
    } else {
      return std::nullopt;
    }
    cairo_surface_mark_dirty(Out.Surface.get());
    return Out;
  } catch (const ShortData&) {
    return std::nullopt;
  } catch (const PictureError&) {
    return std::nullopt;
  }
}

std::optional<Dib> DecodePackedDib(std::span<const std::uint8_t> Packed, bool KeepAlpha) {
  try {
    ByteReader R(Packed);
    Header H = ReadHeader(R);
    std::size_t Entry = H.Core ? 3 : 4;
    std::size_t BitsOffset = H.Size + MaskBytes(H) + std::size_t{StoredColors(H)} * Entry;
    if (BitsOffset > Packed.size()) return std::nullopt;
    return DecodeDib(Packed.first(BitsOffset), Packed.subspan(BitsOffset), KeepAlpha);
  } catch (const ShortData&) {
    return std::nullopt;
  }
}

}  // namespace platform::metafile
