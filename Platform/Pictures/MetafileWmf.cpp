// Windows metafiles (WMF), with or without the placeable header. Decoding
// checks the header and walks the record chain once; drawing replays the
// records onto a GdiCanvas whose window maps onto the target rectangle, the
// way a program plays a metafile into a rectangle of its own.
#include "Platform/Pictures/MetafileBytes.h"
#include "Platform/Pictures/MetafileCanvas.h"
#include "Platform/Pictures/MetafileText.h"
#include "Platform/Pictures/RareDecoders.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace platform {

namespace {

using namespace metafile;

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;

struct WmfLayout {
  std::size_t FirstRecord = 0;
  RectD Frame;             // logical units
  double UnitsPerInch = 96;
};

class WmfCanvas final : public GdiCanvas {
public:
  WmfCanvas(cairo_t* Cr, double X, double Y, double W, double H) : GdiCanvas(Cr, X, Y, W, H), X_(X), Y_(Y), W_(W), H_(H) {}
  cairo_matrix_t LogicalToTarget() const override {
    const DcState& D = const_cast<WmfCanvas*>(this)->Dc();
    double Ex = D.WindowExt.X == 0 ? 1 : D.WindowExt.X, Ey = D.WindowExt.Y == 0 ? 1 : D.WindowExt.Y;
    double Sx = W_ / Ex, Sy = H_ / Ey;
    cairo_matrix_t M;
    cairo_matrix_init(&M, Sx, 0, 0, Sy, X_ - D.WindowOrg.X * Sx, Y_ - D.WindowOrg.Y * Sy);
    return M;
  }

private:
  double X_, Y_, W_, H_;
};

std::uint32_t Rgb(std::uint32_t ColorRef) { return ColorRef & 0xFFFFFF; }

// A region record: scans of left/right pairs, or its bounding box when the
// scans do not fit the record.
Region ReadRegion(const ByteReader& R) {
  Region Out;
  RectD Box{double(R.I16(20)), double(R.I16(22)), double(R.I16(24)), double(R.I16(26))};
  std::uint16_t Scans = R.U16(16);
  std::size_t At = 28;
  std::vector<RectD> Rects;
  bool Ok = true;
  for (std::uint16_t S = 0; S < Scans && Ok; ++S) {
    if (!R.Has(At, 6)) {
      Ok = false;
      break;
    }
    std::uint16_t Count = R.U16(At);
    double Top = R.I16(At + 2), Bottom = R.I16(At + 4);
    At += 6;
    if (!R.Has(At, std::size_t{Count} * 2 + 2)) {
      Ok = false;
      break;
    }
    for (std::uint16_t I = 0; I + 1 < Count; I += 2)
      Rects.push_back({double(R.I16(At + I * 2)), Top, double(R.I16(At + I * 2 + 2)), Bottom});
    At += std::size_t{Count} * 2 + 2;
  }
  if (Ok && Scans > 0)
    Out.Rects = std::move(Rects);
  else if (Box.Right > Box.Left && Box.Bottom > Box.Top)
    Out.Rects.push_back(Box);
  return Out;
}

// Old-style (device-dependent) pattern brushes: only monochrome ones are
// understood; 0 bits take the text colour, 1 bits the background.
Brush ReadBitmap16Brush(const ByteReader& R) {
  Brush B{0, 0x808080, 0, nullptr};
  int Width = R.I16(8), Height = R.I16(10), RowBytes = R.I16(12);
  if (R.U8(14) != 1 || R.U8(15) != 1 || Width <= 0 || Height <= 0 || Width > 64 || Height > 64 ||
      RowBytes * 8 < Width || !R.Has(20, std::size_t(RowBytes) * Height))
    return B;
  SurfacePtr S = MakeSurface(Width, Height);
  if (!S) return B;
  cairo_surface_flush(S.get());
  auto* P = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(S.get()));
  int Stride = cairo_image_surface_get_stride(S.get()) / 4;
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X)
      P[Y * Stride + X] = ((R.U8(20 + Y * RowBytes + X / 8) >> (7 - X % 8)) & 1) ? 0xFFFFFFFFu : 0xFF000000u;
  cairo_surface_mark_dirty(S.get());
  B.Style = 3;
  B.Pattern = std::shared_ptr<cairo_surface_t>(S.release(), cairo_surface_destroy);
  return B;
}

Brush PatternBrush(std::optional<Dib> Bitmap) {
  if (!Bitmap) return Brush{0, 0x808080, 0, nullptr};
  return Brush{5, 0, 0, std::shared_ptr<cairo_surface_t>(Bitmap->Surface.release(), cairo_surface_destroy)};
}

// Source rectangle of a StretchDIBits-style call: y counts from the bottom
// of a bottom-up bitmap.
RectD DibSource(const Dib& D, double X, double Y, double W, double H) {
  if (D.BottomUp) Y = D.Height - (Y + H);
  return {X, Y, X + W, Y + H};
}

class WmfPlayer {
public:
  WmfPlayer(std::span<const std::uint8_t> Bytes, const WmfLayout& Layout, WmfCanvas& Canvas)
      : Bytes_(Bytes), Layout_(Layout), C_(Canvas) {}

  void Play() {
    DcState& D = C_.Dc();
    D.WindowOrg = {Layout_.Frame.Left, Layout_.Frame.Top};
    D.WindowExt = {Layout_.Frame.Right - Layout_.Frame.Left, Layout_.Frame.Bottom - Layout_.Frame.Top};
    ByteReader All(Bytes_);
    std::size_t At = Layout_.FirstRecord;
    while (All.Has(At, 6)) {
      std::uint64_t Size = std::uint64_t{All.U32(At)} * 2;
      std::uint16_t Function = All.U16(At + 4);
      if (Size < 6 || Size > Bytes_.size() - At || Function == 0) break;
      try {
        Record(ByteReader(All.Sub(At, static_cast<std::size_t>(Size))), Function);
      } catch (const ShortData&) {
        // A record shorter than its contents is skipped.
      }
      At += static_cast<std::size_t>(Size);
    }
  }

private:
  PointD Pt(const ByteReader& R, std::size_t YOffset) { return {double(R.I16(YOffset + 2)), double(R.I16(YOffset))}; }
  RectD Box(const ByteReader& R, std::size_t Offset) {  // bottom, right, top, left
    return {double(R.I16(Offset + 6)), double(R.I16(Offset + 4)), double(R.I16(Offset + 2)), double(R.I16(Offset))};
  }
  std::vector<PointD> Points(const ByteReader& R, std::size_t Offset, std::size_t Count) {
    R.Sub(Offset, Count * 4);
    std::vector<PointD> P(Count);
    for (std::size_t I = 0; I < Count; ++I) P[I] = {double(R.I16(Offset + I * 4)), double(R.I16(Offset + I * 4 + 2))};
    return P;
  }
  void Store(GdiObject Object) { C_.AddObject(std::move(Object)); }
  const Region* RegionAt(std::uint16_t Index) {
    const GdiObject* O = C_.FindObject(Index);
    return O ? std::get_if<Region>(O) : nullptr;
  }
  const Brush* BrushAt(std::uint16_t Index) {
    const GdiObject* O = C_.FindObject(Index);
    return O ? std::get_if<Brush>(O) : nullptr;
  }

  void Text(PointD At, std::span<const std::uint8_t> String, std::vector<double> Dx, std::uint32_t Options,
            const RectD* Rect) {
    auto Units = DecodeAnsiText(String, C_.Dc().CurrentFont.CharSet);
    // Double-byte character sets carry one advance per byte; the advance of
    // a trail byte belongs to its character.
    C_.Text(At, Units, Dx, Options, Rect);
  }

  void Blit(const ByteReader& R, RectD Dest, RectD Src, std::size_t DibOffset, std::uint32_t Rop, bool FromBottom) {
    auto Bitmap = DecodePackedDib(R.From(DibOffset));
    if (!Bitmap) return;
    if (FromBottom) Src = DibSource(*Bitmap, Src.Left, Src.Top, Src.Right - Src.Left, Src.Bottom - Src.Top);
    C_.StretchBitmap(Dest, Src, *Bitmap, Rop);
  }

  void Record(const ByteReader& R, std::uint16_t Function) {
    DcState& D = C_.Dc();
    std::size_t Words = R.Size() / 2;
    switch (Function) {
      case 0x0102: D.BkMode = R.U16(6); break;
      case 0x0103: D.MapMode = R.U16(6); break;
      case 0x0104: D.Rop2 = R.U16(6); break;
      case 0x0106: D.FillMode = R.U16(6); break;
      case 0x0108: D.CharExtra = R.I16(6); break;
      case 0x012E: D.TextAlign = R.U16(6); break;
      case 0x0201: D.BkColor = Rgb(R.U32(6)); break;
      case 0x0209: D.TextColor = Rgb(R.U32(6)); break;
      case 0x020B: D.WindowOrg = Pt(R, 6); break;
      case 0x020C: {
        PointD E = Pt(R, 6);
        if (E.X != 0 && E.Y != 0) D.WindowExt = E;
        break;
      }
      case 0x020F: {
        PointD O = Pt(R, 6);
        D.WindowOrg.X += O.X;
        D.WindowOrg.Y += O.Y;
        break;
      }
      case 0x0410: {
        double YDen = R.I16(6), YNum = R.I16(8), XDen = R.I16(10), XNum = R.I16(12);
        if (XDen != 0 && YDen != 0 && XNum != 0 && YNum != 0) {
          D.WindowExt.X = D.WindowExt.X * XNum / XDen;
          D.WindowExt.Y = D.WindowExt.Y * YNum / YDen;
        }
        break;
      }
      // Viewport records are left to the player of the metafile: the target
      // rectangle is the viewport.
      case 0x001E: C_.SaveDc(); break;
      case 0x0127: C_.RestoreDc(R.I16(6)); break;
      case 0x0214: C_.MoveTo(Pt(R, 6)); break;
      case 0x0213: C_.LineTo(Pt(R, 6)); break;
      case 0x0324:
      case 0x0325: {
        std::uint16_t Count = R.U16(6);
        auto P = Points(R, 8, Count);
        if (Function == 0x0324)
          C_.Polygon(P);
        else
          C_.Polyline(P, false);
        break;
      }
      case 0x0538: {
        std::uint16_t Polys = R.U16(6);
        std::vector<std::uint32_t> Counts(Polys);
        std::size_t Total = 0;
        for (std::uint16_t I = 0; I < Polys; ++I) Total += Counts[I] = R.U16(8 + I * 2);
        C_.PolyPolygon(Points(R, 8 + std::size_t{Polys} * 2, Total), Counts);
        break;
      }
      case 0x041B: C_.Rectangle(Box(R, 6)); break;
      case 0x0418: C_.Ellipse(Box(R, 6)); break;
      case 0x061C: C_.RoundRect(Box(R, 10), R.I16(8), R.I16(6)); break;
      case 0x0817:
      case 0x081A:
      case 0x0830: {
        ArcKind Kind = Function == 0x0817 ? ArcKind::Arc : Function == 0x081A ? ArcKind::Pie : ArcKind::Chord;
        C_.Arc(Kind, Box(R, 14), Pt(R, 10), Pt(R, 6));
        break;
      }
      case 0x041F: C_.SetPixel(Pt(R, 10), Rgb(R.U32(6))); break;
      case 0x061D: {
        double H = R.I16(10), W = R.I16(12);
        PointD P = Pt(R, 14);
        C_.PatBlt({P.X, P.Y, P.X + W, P.Y + H}, R.U32(6));
        break;
      }
      case 0x0521: {
        std::uint16_t Count = R.U16(6);
        std::size_t After = 8 + ((std::size_t{Count} + 1) & ~std::size_t{1});
        Text(Pt(R, After), R.Sub(8, Count), {}, 0, nullptr);
        break;
      }
      case 0x0A32: {
        PointD P = Pt(R, 6);
        std::uint16_t Count = R.U16(10), Options = R.U16(12);
        std::size_t At = 14;
        RectD Rect;
        bool HasRect = (Options & 0x06) != 0;
        if (HasRect) {
          Rect = {double(R.I16(14)), double(R.I16(16)), double(R.I16(18)), double(R.I16(20))};
          At = 22;
        }
        auto String = R.Sub(At, Count);
        At += (std::size_t{Count} + 1) & ~std::size_t{1};
        std::vector<double> Dx;
        if (R.Has(At, std::size_t{Count} * 2))
          for (std::uint16_t I = 0; I < Count; ++I) Dx.push_back(R.I16(At + I * 2));
        Text(P, String, std::move(Dx), Options, HasRect ? &Rect : nullptr);
        break;
      }
      case 0x02FA: {
        Pen P;
        P.Style = R.U16(6);
        P.Width = std::abs(R.I16(8));
        P.Color = Rgb(R.U32(12));
        Store(P);
        break;
      }
      case 0x02FC: Store(Brush{R.U16(6), Rgb(R.U32(8)), R.U16(12), nullptr}); break;
      case 0x02FB: {
        Font F;
        F.Height = R.I16(6);
        F.Width = R.I16(8);
        F.Escapement = R.I16(10);
        F.Weight = R.I16(14);
        F.Italic = R.U8(16) != 0;
        F.Underline = R.U8(17) != 0;
        F.StrikeOut = R.U8(18) != 0;
        F.CharSet = R.U8(19);
        std::size_t End = 24;
        while (End < 56 && R.Has(End, 1) && R.U8(End) != 0) ++End;
        for (const std::string& Unit : DecodeAnsiText(R.Sub(24, End - 24), 0)) F.Face += Unit;
        Store(F);
        break;
      }
      case 0x0142: Store(PatternBrush(DecodePackedDib(R.From(10)))); break;
      case 0x01F9: Store(ReadBitmap16Brush(R)); break;
      case 0x00F7: Store(Palette{}); break;
      case 0x06FF: Store(ReadRegion(R)); break;
      case 0x012D: {
        const GdiObject* O = C_.FindObject(R.U16(6));
        if (!O) break;
        if (auto* Rg = std::get_if<Region>(O))
          C_.ClipRects(Rg->Rects, ClipCopy, true);
        else
          C_.SelectObject(*O);
        break;
      }
      case 0x01F0: C_.DeleteObject(R.U16(6)); break;
      case 0x012C: {
        if (const Region* Rg = RegionAt(R.U16(6)))
          C_.ClipRects(Rg->Rects, ClipCopy, true);
        else
          C_.ResetClip();
        break;
      }
      case 0x0416: C_.IntersectClip(Box(R, 6)); break;
      case 0x0415: C_.ExcludeClip(Box(R, 6)); break;
      case 0x0228: {
        const Region* Rg = RegionAt(R.U16(6));
        const Brush* B = BrushAt(R.U16(8));
        if (Rg && B) C_.FillRegion(Rg->Rects, *B, true);
        break;
      }
      case 0x012B:
        if (const Region* Rg = RegionAt(R.U16(6))) C_.FillRegion(Rg->Rects, D.CurrentBrush, true);
        break;
      case 0x0429: {
        const Region* Rg = RegionAt(R.U16(6));
        const Brush* B = BrushAt(R.U16(8));
        if (Rg && B) C_.FrameRegion(Rg->Rects, *B, R.I16(12), R.I16(10), true);
        break;
      }
      case 0x0F43: {  // StretchDIBits
        double SrcH = R.I16(12), SrcW = R.I16(14), SrcY = R.I16(16), SrcX = R.I16(18);
        double DstH = R.I16(20), DstW = R.I16(22), DstY = R.I16(24), DstX = R.I16(26);
        Blit(R, {DstX, DstY, DstX + DstW, DstY + DstH}, {SrcX, SrcY, SrcX + SrcW, SrcY + SrcH}, 28, R.U32(6), true);
        break;
      }
      case 0x0B41: {  // StretchBlt from a bitmap, or a pattern fill without one
        std::uint32_t Rop = R.U32(6);
        if (Words == 14) {
          double H = R.I16(20), W = R.I16(22), Y = R.I16(24), X = R.I16(26);
          C_.PatBlt({X, Y, X + W, Y + H}, Rop);
        } else {
          double SrcH = R.I16(10), SrcW = R.I16(12), SrcY = R.I16(14), SrcX = R.I16(16);
          double DstH = R.I16(18), DstW = R.I16(20), DstY = R.I16(22), DstX = R.I16(24);
          Blit(R, {DstX, DstY, DstX + DstW, DstY + DstH}, {SrcX, SrcY, SrcX + SrcW, SrcY + SrcH}, 26, Rop, false);
        }
        break;
      }
      case 0x0940: {  // BitBlt
        std::uint32_t Rop = R.U32(6);
        if (Words == 12) {
          double H = R.I16(16), W = R.I16(18), Y = R.I16(20), X = R.I16(22);
          C_.PatBlt({X, Y, X + W, Y + H}, Rop);
        } else {
          double SrcY = R.I16(10), SrcX = R.I16(12), H = R.I16(14), W = R.I16(16), Y = R.I16(18), X = R.I16(20);
          Blit(R, {X, Y, X + W, Y + H}, {SrcX, SrcY, SrcX + W, SrcY + H}, 22, Rop, false);
        }
        break;
      }
      case 0x0B23:  // device-dependent blits: only their pattern form is drawn
        if (Words == 15) {
          double H = R.I16(20), W = R.I16(22), Y = R.I16(24), X = R.I16(26);
          C_.PatBlt({X, Y, X + W, Y + H}, R.U32(6));
        }
        break;
      case 0x0922:
        if (Words == 12) {
          double H = R.I16(16), W = R.I16(18), Y = R.I16(20), X = R.I16(22);
          C_.PatBlt({X, Y, X + W, Y + H}, R.U32(6));
        }
        break;
      case 0x0D33: {  // SetDIBitsToDevice
        double H = R.I16(16), W = R.I16(18), SrcY = R.I16(12), SrcX = R.I16(14), Y = R.I16(20), X = R.I16(22);
        Blit(R, {X, Y, X + W, Y + H}, {SrcX, SrcY, SrcX + W, SrcY + H}, 24, 0x00CC0020, true);
        break;
      }
      default: break;  // palettes, escapes and unknown records draw nothing
    }
  }

  std::span<const std::uint8_t> Bytes_;
  const WmfLayout& Layout_;
  WmfCanvas& C_;
};

class WmfPicture final : public Picture {
public:
  WmfPicture(std::vector<std::uint8_t> Bytes, WmfLayout Layout, std::int32_t Width, std::int32_t Height)
      : Bytes_(std::move(Bytes)), Layout_(Layout), Width_(Width), Height_(Height) {}
  std::int32_t Width() const override { return Width_; }
  std::int32_t Height() const override { return Height_; }
  void Render(cairo_t* Target, double X, double Y, double W, double H) const override {
    if (!(W > 0) || !(H > 0)) return;
    WmfCanvas Canvas(Target, X, Y, W, H);
    Canvas.PixelScale = std::sqrt((W / Width_) * (H / Height_));
    WmfPlayer(Bytes_, Layout_, Canvas).Play();
  }

private:
  std::vector<std::uint8_t> Bytes_;
  WmfLayout Layout_;
  std::int32_t Width_, Height_;
};

// The extent of what a metafile without a placeable header or window draws.
void Include(RectD& Box, bool& Any, double X, double Y) {
  if (!Any) {
    Box = {X, Y, X, Y};
    Any = true;
  }
  Box.Left = std::min(Box.Left, X);
  Box.Top = std::min(Box.Top, Y);
  Box.Right = std::max(Box.Right, X);
  Box.Bottom = std::max(Box.Bottom, Y);
}

std::int32_t Pixels(double Units, double UnitsPerInch) {
  double Px = std::round(std::fabs(Units) * 96 / UnitsPerInch);
  return static_cast<std::int32_t>(std::clamp(Px, 1.0, double(MaxPictureSide)));
}

}  // namespace

std::unique_ptr<Picture> DecodeWmf(std::span<const std::uint8_t> Bytes, const DecodeHints&) {
  try {
    ByteReader R(Bytes);
    WmfLayout Layout;
    bool Placeable = R.Has(0, 4) && R.U32(0) == PlaceableKey;
    std::size_t Header = Placeable ? 22 : 0;
    if (Placeable) {
      Layout.Frame = {double(R.I16(6)), double(R.I16(8)), double(R.I16(10)), double(R.I16(12))};
      Layout.UnitsPerInch = R.U16(14) == 0 ? 1440 : R.U16(14);
    }
    std::uint16_t Type = R.U16(Header), HeaderWords = R.U16(Header + 2);
    if ((Type != 1 && Type != 2) || HeaderWords != 9) throw PictureError("Kein Windows-Metafile");
    Layout.FirstRecord = Header + 18;

    // Walk the chain: every record must lie inside the file.
    bool WindowOrg = false, WindowExt = false, Any = false;
    RectD Window, Drawn;
    std::size_t At = Layout.FirstRecord;
    std::size_t Records = 0;
    while (R.Has(At, 6)) {
      std::uint64_t Size = std::uint64_t{R.U32(At)} * 2;
      std::uint16_t Function = R.U16(At + 4);
      if (Size == 0) break;  // zero padding after the last record ends the picture too
      if (Size < 6 || Size > Bytes.size() - At) throw PictureError("Metafile-Datensatz außerhalb der Datei");
      if (Function == 0) break;
      ++Records;
      ByteReader Rec(R.Sub(At, static_cast<std::size_t>(Size)));
      try {
        if (Function == 0x020B && !WindowOrg) {
          Window.Left = Rec.I16(8), Window.Top = Rec.I16(6);
          WindowOrg = true;
        } else if (Function == 0x020C && !WindowExt) {
          Window.Right = Rec.I16(8), Window.Bottom = Rec.I16(6);
          WindowExt = Window.Right != 0 && Window.Bottom != 0;
        } else if (!Placeable && (Function == 0x0324 || Function == 0x0325)) {
          std::uint16_t Count = Rec.U16(6);
          for (std::uint16_t I = 0; I < Count && Rec.Has(8 + I * 4, 4); ++I)
            Include(Drawn, Any, Rec.I16(8 + I * 4), Rec.I16(10 + I * 4));
        } else if (!Placeable && (Function == 0x041B || Function == 0x0418)) {
          Include(Drawn, Any, Rec.I16(12), Rec.I16(10));
          Include(Drawn, Any, Rec.I16(8), Rec.I16(6));
        }
      } catch (const ShortData&) {
      }
      At += static_cast<std::size_t>(Size);
    }

    if (!Placeable) {
      if (WindowExt) {
        Layout.Frame = {Window.Left, Window.Top, Window.Left + Window.Right, Window.Top + Window.Bottom};
      } else if (Any && Drawn.Right > Drawn.Left && Drawn.Bottom > Drawn.Top) {
        Layout.Frame = Drawn;
      } else {
        throw PictureError("Metafile ohne Ausdehnung");
      }
      // Without a header the unit is unknown: large extents are taken as
      // twips (as word processors write them), small ones as screen pixels.
      double Longer = std::max(std::fabs(Layout.Frame.Right - Layout.Frame.Left),
                               std::fabs(Layout.Frame.Bottom - Layout.Frame.Top));
      Layout.UnitsPerInch = Longer > 3000 ? 1440 : 96;
    }
    double FrameW = Layout.Frame.Right - Layout.Frame.Left, FrameH = Layout.Frame.Bottom - Layout.Frame.Top;
    if (FrameW == 0 || FrameH == 0) throw PictureError("Metafile ohne Ausdehnung");
    (void)Records;
    std::int32_t Width = Pixels(FrameW, Layout.UnitsPerInch), Height = Pixels(FrameH, Layout.UnitsPerInch);
    return std::make_unique<WmfPicture>(std::vector<std::uint8_t>(Bytes.begin(), Bytes.end()), Layout, Width, Height);
  } catch (const ShortData&) {
    throw PictureError("Windows-Metafile unvollständig");
  }
}

}  // namespace platform
