// Enhanced metafiles (EMF). Decoding checks the header and walks the record
// chain once; drawing replays the records: logical units go through the world
// transform and the mapping mode to the reference device, whose picture frame
// is mapped onto the target rectangle. EMF+ records (in comments) are not
// drawn; dual files draw through their GDI records.
#include "Platform/Pictures/MetafileBytes.h"
#include "Platform/Pictures/MetafileCanvas.h"
#include "Platform/Pictures/MetafileText.h"
#include "Platform/Pictures/RareDecoders.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {

namespace {

using namespace metafile;

constexpr std::uint32_t EmfSignature = 0x464D4520;

struct EmfLayout {
  RectD Frame;          // device units of the reference device
  double MmX = 1, MmY = 1;  // device pixels per millimetre
};

class EmfCanvas final : public GdiCanvas {
public:
  EmfCanvas(cairo_t* Cr, double X, double Y, double W, double H, const EmfLayout& Layout)
      : GdiCanvas(Cr, X, Y, W, H), Layout_(Layout) {
    double Sx = W / (Layout.Frame.Right - Layout.Frame.Left), Sy = H / (Layout.Frame.Bottom - Layout.Frame.Top);
    cairo_matrix_init(&Device_, Sx, 0, 0, Sy, X - Layout.Frame.Left * Sx, Y - Layout.Frame.Top * Sy);
  }

  cairo_matrix_t RegionToTarget() const override { return Device_; }

  cairo_matrix_t LogicalToTarget() const override {
    const DcState& D = const_cast<EmfCanvas*>(this)->Dc();
    double Sx = 1, Sy = 1;
    double Unit = 0;  // millimetres per logical unit in the fixed modes
    switch (D.MapMode) {
      case 2: Unit = 0.1; break;
      case 3: Unit = 0.01; break;
      case 4: Unit = 0.254; break;
      case 5: Unit = 0.0254; break;
      case 6: Unit = 25.4 / 1440; break;
      default: break;
    }
    if (Unit > 0) {
      Sx = Unit * Layout_.MmX;
      Sy = -Unit * Layout_.MmY;
    } else if (D.MapMode == 7 || D.MapMode == 8) {
      double Wx = D.WindowExt.X == 0 ? 1 : D.WindowExt.X, Wy = D.WindowExt.Y == 0 ? 1 : D.WindowExt.Y;
      Sx = D.ViewportExt.X / Wx;
      Sy = D.ViewportExt.Y / Wy;
      if (D.MapMode == 7) {  // isotropic: the smaller scale in both directions
        double S = std::min(std::fabs(Sx), std::fabs(Sy));
        Sx = std::copysign(S, Sx);
        Sy = std::copysign(S, Sy);
      }
    }
    cairo_matrix_t Page, WorldPage, Full;
    if (D.MapMode == 1) {
      cairo_matrix_init_identity(&Page);
    } else {
      cairo_matrix_init(&Page, Sx, 0, 0, Sy, D.ViewportOrg.X - D.WindowOrg.X * Sx, D.ViewportOrg.Y - D.WindowOrg.Y * Sy);
    }
    if (D.MapMode == 1) {
      // In the text mode origins still shift the picture.
      cairo_matrix_init_translate(&Page, D.ViewportOrg.X - D.WindowOrg.X, D.ViewportOrg.Y - D.WindowOrg.Y);
    }
    cairo_matrix_multiply(&WorldPage, &D.World, &Page);
    cairo_matrix_multiply(&Full, &WorldPage, &Device_);
    return Full;
  }

private:
  EmfLayout Layout_;
  cairo_matrix_t Device_;
};

std::uint32_t Rgb(std::uint32_t ColorRef) { return ColorRef & 0xFFFFFF; }

RectD ReadRect(const ByteReader& R, std::size_t At) {
  return {double(R.I32(At)), double(R.I32(At + 4)), double(R.I32(At + 8)), double(R.I32(At + 12))};
}

// Region data: a 32-byte header, then its rectangles.
std::vector<RectD> ReadRegionData(const ByteReader& R, std::size_t At, std::size_t Size) {
  std::vector<RectD> Rects;
  if (Size < 32) return Rects;
  ByteReader Data(R.Sub(At, Size));
  std::uint32_t HeaderSize = Data.U32(0), Count = Data.U32(8);
  if (HeaderSize < 32 || HeaderSize > Size) return Rects;
  std::size_t Fits = (Size - HeaderSize) / 16;
  Count = static_cast<std::uint32_t>(std::min<std::size_t>(Count, Fits));
  for (std::uint32_t I = 0; I < Count; ++I) {
    RectD Rc = ReadRect(Data, HeaderSize + std::size_t{I} * 16);
    Rects.push_back(Rc);
  }
  return Rects;
}

// The bitmap of a blit record, from its offsets and sizes.
std::optional<Dib> RecordBitmap(const ByteReader& R, std::size_t InfoAt, bool KeepAlpha) {
  std::uint32_t OffInfo = R.U32(InfoAt), SizeInfo = R.U32(InfoAt + 4), OffBits = R.U32(InfoAt + 8),
                SizeBits = R.U32(InfoAt + 12);
  if (SizeInfo == 0) return std::nullopt;
  return DecodeDib(R.Sub(OffInfo, SizeInfo), R.Sub(OffBits, SizeBits), KeepAlpha);
}

RectD DibSource(const Dib& D, double X, double Y, double W, double H) {
  if (D.BottomUp) Y = D.Height - (Y + H);
  return {X, Y, X + W, Y + H};
}

// A copy of the bitmap in which the key colour is transparent.
void MakeKeyTransparent(Dib& D, std::uint32_t ColorRef) {
  cairo_surface_t* S = D.Surface.get();
  cairo_surface_flush(S);
  auto* P = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(S));
  int Stride = cairo_image_surface_get_stride(S) / 4;
  std::uint32_t Key = 0xFF000000u | ((ColorRef & 0xFF) << 16) | (ColorRef & 0xFF00) | ((ColorRef >> 16) & 0xFF);
  for (int Y = 0; Y < D.Height; ++Y)
    for (int X = 0; X < D.Width; ++X)
      if (P[Y * Stride + X] == Key) P[Y * Stride + X] = 0;
  cairo_surface_mark_dirty(S);
}

class EmfPlayer {
public:
  EmfPlayer(std::span<const std::uint8_t> Bytes, EmfCanvas& Canvas) : Bytes_(Bytes), C_(Canvas) {}

  void Play() {
    ByteReader All(Bytes_);
    std::size_t At = 0;
    while (All.Has(At, 8)) {
      std::uint32_t Type = All.U32(At), Size = All.U32(At + 4);
      if (Size < 8 || Size % 4 != 0 || Size > Bytes_.size() - At || Type == 14) break;
      try {
        Record(ByteReader(All.Sub(At, Size)), Type);
      } catch (const ShortData&) {
        // A record shorter than its contents is skipped.
      }
      At += Size;
    }
  }

private:
  std::vector<PointD> Points(const ByteReader& R, std::size_t At, std::size_t Count, bool Short) {
    std::size_t Each = Short ? 4 : 8;
    if (Count > R.Size() / Each) throw ShortData();
    R.Sub(At, Count * Each);
    std::vector<PointD> P(Count);
    for (std::size_t I = 0; I < Count; ++I)
      P[I] = Short ? PointD{double(R.I16(At + I * 4)), double(R.I16(At + I * 4 + 2))}
                   : PointD{double(R.I32(At + I * 8)), double(R.I32(At + I * 8 + 4))};
    return P;
  }

  void PolyPoly(const ByteReader& R, bool Short, bool Closed) {
    std::uint32_t Polys = R.U32(24), Total = R.U32(28);
    if (Polys > R.Size() / 4) throw ShortData();
    std::vector<std::uint32_t> Counts(Polys);
    for (std::uint32_t I = 0; I < Polys; ++I) Counts[I] = R.U32(32 + std::size_t{I} * 4);
    auto P = Points(R, 32 + std::size_t{Polys} * 4, Total, Short);
    if (Closed)
      C_.PolyPolygon(P, Counts);
    else
      C_.PolyPolyline(P, Counts);
  }

  void SetWorld(const ByteReader& R, std::size_t At, cairo_matrix_t& M) {
    cairo_matrix_init(&M, R.F32(At), R.F32(At + 4), R.F32(At + 8), R.F32(At + 12), R.F32(At + 16), R.F32(At + 20));
  }

  static bool Sane(const cairo_matrix_t& M) {
    for (double V : {M.xx, M.yx, M.xy, M.yy, M.x0, M.y0})
      if (!std::isfinite(V)) return false;
    return true;
  }

  void Text(const ByteReader& R, bool Wide) {
    PointD Ref{double(R.I32(36)), double(R.I32(40))};
    std::uint32_t Count = R.U32(44), OffString = R.U32(48), Options = R.U32(52), OffDx = R.U32(72);
    RectD Rect = ReadRect(R, 56);
    if (Count > R.Size()) throw ShortData();
    std::vector<std::string> Units = Wide ? DecodeUtf16Text(R.Sub(OffString, std::size_t{Count} * 2))
                                          : DecodeAnsiText(R.Sub(OffString, Count), C_.Dc().CurrentFont.CharSet);
    // Glyph indices of the writer's font mean nothing in ours: the glyphs are
    // left out (their background and advances stay) rather than shown as
    // unrelated characters.
    if (Options & 0x10)
      for (std::string& Unit : Units) Unit.clear();
    std::vector<double> Dx;
    std::size_t Step = (Options & 0x2000) ? 8 : 4;  // with vertical advances too
    if (OffDx != 0 && R.Has(OffDx, Count * Step))
      for (std::uint32_t I = 0; I < Count; ++I) Dx.push_back(R.I32(OffDx + I * Step));
    bool HasRect = Rect.Right > Rect.Left && Rect.Bottom > Rect.Top;
    C_.Text(Ref, Units, Dx, Options, HasRect ? &Rect : nullptr);
  }

  void Record(const ByteReader& R, std::uint32_t Type) {
    DcState& D = C_.Dc();
    switch (Type) {
      case 2: C_.PolyBezier(Points(R, 28, R.U32(24), false), false); break;
      case 3: C_.Polygon(Points(R, 28, R.U32(24), false)); break;
      case 4: C_.Polyline(Points(R, 28, R.U32(24), false), false); break;
      case 5: C_.PolyBezier(Points(R, 28, R.U32(24), false), true); break;
      case 6: C_.Polyline(Points(R, 28, R.U32(24), false), true); break;
      case 85: C_.PolyBezier(Points(R, 28, R.U32(24), true), false); break;
      case 86: C_.Polygon(Points(R, 28, R.U32(24), true)); break;
      case 87: C_.Polyline(Points(R, 28, R.U32(24), true), false); break;
      case 88: C_.PolyBezier(Points(R, 28, R.U32(24), true), true); break;
      case 89: C_.Polyline(Points(R, 28, R.U32(24), true), true); break;
      case 7: PolyPoly(R, false, false); break;
      case 8: PolyPoly(R, false, true); break;
      case 90: PolyPoly(R, true, false); break;
      case 91: PolyPoly(R, true, true); break;
      case 56:
      case 92: {
        std::uint32_t Count = R.U32(24);
        bool Short = Type == 92;
        auto P = Points(R, 28, Count, Short);
        C_.PolyDraw(P, R.Sub(28 + std::size_t{Count} * (Short ? 4 : 8), Count));
        break;
      }
      case 9:
        if (R.I32(8) != 0 && R.I32(12) != 0) D.WindowExt = {double(R.I32(8)), double(R.I32(12))};
        break;
      case 10: D.WindowOrg = {double(R.I32(8)), double(R.I32(12))}; break;
      case 11:
        if (R.I32(8) != 0 && R.I32(12) != 0) D.ViewportExt = {double(R.I32(8)), double(R.I32(12))};
        break;
      case 12: D.ViewportOrg = {double(R.I32(8)), double(R.I32(12))}; break;
      case 31:
      case 32: {
        double XNum = R.I32(8), XDen = R.I32(12), YNum = R.I32(16), YDen = R.I32(20);
        if (XNum == 0 || XDen == 0 || YNum == 0 || YDen == 0) break;
        PointD& E = Type == 31 ? D.ViewportExt : D.WindowExt;
        E.X = E.X * XNum / XDen;
        E.Y = E.Y * YNum / YDen;
        break;
      }
      case 15: C_.SetPixel({double(R.I32(8)), double(R.I32(12))}, Rgb(R.U32(16))); break;
      case 17: D.MapMode = static_cast<int>(R.U32(8)); break;
      case 18: D.BkMode = static_cast<int>(R.U32(8)); break;
      case 19: D.FillMode = static_cast<int>(R.U32(8)); break;
      case 20: D.Rop2 = static_cast<int>(R.U32(8)); break;
      case 22: D.TextAlign = R.U32(8); break;
      case 24: D.TextColor = Rgb(R.U32(8)); break;
      case 25: D.BkColor = Rgb(R.U32(8)); break;
      case 27: C_.MoveTo({double(R.I32(8)), double(R.I32(12))}); break;
      case 54: C_.LineTo({double(R.I32(8)), double(R.I32(12))}); break;
      case 29: C_.ExcludeClip(ReadRect(R, 8)); break;
      case 30: C_.IntersectClip(ReadRect(R, 8)); break;
      case 33: C_.SaveDc(); break;
      case 34: C_.RestoreDc(R.I32(8)); break;
      case 35: {
        cairo_matrix_t M;
        SetWorld(R, 8, M);
        if (Sane(M)) D.World = M;
        break;
      }
      case 36: {
        cairo_matrix_t M, Out;
        SetWorld(R, 8, M);
        switch (R.U32(32)) {
          case 1: cairo_matrix_init_identity(&D.World); break;
          case 2:  // the new transform applies first
            cairo_matrix_multiply(&Out, &M, &D.World);
            if (Sane(Out)) D.World = Out;
            break;
          case 3:
            cairo_matrix_multiply(&Out, &D.World, &M);
            if (Sane(Out)) D.World = Out;
            break;
          case 4:
            if (Sane(M)) D.World = M;
            break;
          default: break;
        }
        break;
      }
      case 37: {
        std::uint32_t Index = R.U32(8);
        if (Index & 0x80000000u) {
          C_.SelectObject(StockObject(Index));
        } else if (const GdiObject* O = C_.FindObject(Index)) {
          C_.SelectObject(*O);
        }
        break;
      }
      case 38: {
        Pen P;
        P.Style = R.U32(12);
        P.Width = std::abs(static_cast<double>(R.I32(16)));
        P.Color = Rgb(R.U32(24));
        C_.PutObject(R.U32(8), P);
        break;
      }
      case 95: {
        Pen P;
        P.Style = R.U32(28);
        P.Width = (P.Style & 0x10000) ? static_cast<double>(R.U32(32)) : 0;
        if (R.U32(36) == 1) P.Style = (P.Style & ~0xFu) | 5;  // hollow brush: no line
        P.Color = Rgb(R.U32(40));
        std::uint32_t Entries = R.U32(48);
        if ((P.Style & 0xF) == 7 && Entries <= 16)
          for (std::uint32_t I = 0; I < Entries; ++I) P.Dashes.push_back(R.U32(52 + I * 4));
        C_.PutObject(R.U32(8), P);
        break;
      }
      case 39: C_.PutObject(R.U32(8), Brush{R.U32(12), Rgb(R.U32(16)), R.U32(20), nullptr}); break;
      case 93:
      case 94: {
        auto Bitmap = RecordBitmap(R, 16, false);
        Brush B{0, 0x808080, 0, nullptr};
        if (Bitmap) B = Brush{5, 0, 0, std::shared_ptr<cairo_surface_t>(Bitmap->Surface.release(), cairo_surface_destroy)};
        C_.PutObject(R.U32(8), B);
        break;
      }
      case 82: {
        Font F;
        F.Height = R.I32(12);
        F.Width = R.I32(16);
        F.Escapement = R.I32(20);
        F.Weight = R.I32(28);
        F.Italic = R.U8(32) != 0;
        F.Underline = R.U8(33) != 0;
        F.StrikeOut = R.U8(34) != 0;
        F.CharSet = R.U8(35);
        F.Face = Utf16ToUtf8(R.Sub(40, 64));
        C_.PutObject(R.U32(8), F);
        break;
      }
      case 49: C_.PutObject(R.U32(8), Palette{}); break;
      case 40: C_.DeleteObject(R.U32(8)); break;
      case 41: {
        PointD Center{double(R.I32(8)), double(R.I32(12))};
        C_.AngleArc(Center, R.U32(16), R.F32(20), R.F32(24));
        break;
      }
      case 42: C_.Ellipse(ReadRect(R, 8)); break;
      case 43: C_.Rectangle(ReadRect(R, 8)); break;
      case 44: C_.RoundRect(ReadRect(R, 8), R.I32(24), R.I32(28)); break;
      case 45:
      case 46:
      case 47:
      case 55: {
        ArcKind Kind = Type == 45 ? ArcKind::Arc : Type == 46 ? ArcKind::Chord : Type == 47 ? ArcKind::Pie : ArcKind::ArcTo;
        C_.Arc(Kind, ReadRect(R, 8), {double(R.I32(24)), double(R.I32(28))}, {double(R.I32(32)), double(R.I32(36))});
        break;
      }
      case 57: D.Clockwise = R.U32(8) == 2; break;
      case 59: C_.BeginPath(); break;
      case 60: C_.EndPath(); break;
      case 61: C_.CloseFigure(); break;
      case 62: C_.FillPath(); break;
      case 63: C_.StrokeAndFillPath(); break;
      case 64: C_.StrokePath(); break;
      case 67: C_.ClipPath(static_cast<int>(R.U32(8))); break;
      case 68: C_.AbortPath(); break;
      case 71: {
        const GdiObject* O = C_.FindObject(R.U32(28));
        const Brush* B = O ? std::get_if<Brush>(O) : nullptr;
        Brush Stock;
        if (R.U32(28) & 0x80000000u) {
          GdiObject S = StockObject(R.U32(28));
          if (auto* SB = std::get_if<Brush>(&S)) Stock = *SB, B = &Stock;
        }
        if (B) C_.FillRegion(ReadRegionData(R, 32, R.U32(24)), *B, false);
        break;
      }
      case 74: C_.FillRegion(ReadRegionData(R, 28, R.U32(24)), D.CurrentBrush, false); break;
      case 72: {
        const GdiObject* O = C_.FindObject(R.U32(28));
        if (const Brush* B = O ? std::get_if<Brush>(O) : nullptr)
          C_.FrameRegion(ReadRegionData(R, 40, R.U32(24)), *B, R.I32(32), R.I32(36), false);
        break;
      }
      case 75: {
        std::uint32_t Size = R.U32(8);
        int Mode = static_cast<int>(R.U32(12));
        if (Size == 0 || Mode == ClipCopy) {
          if (Size == 0) {
            C_.ResetClip();
            break;
          }
        }
        C_.ClipRects(ReadRegionData(R, 16, Size), Mode, false);
        break;
      }
      case 76:
      case 77:
      case 114:
      case 116: {
        double X = R.I32(24), Y = R.I32(28), W = R.I32(32), H = R.I32(36);
        std::uint32_t Rop = (Type == 76 || Type == 77) ? R.U32(40) : 0x00CC0020;
        double SrcX = R.I32(44), SrcY = R.I32(48);
        double SrcW = W, SrcH = H;
        if (Type != 76) SrcW = R.I32(100), SrcH = R.I32(104);
        bool Alpha = Type == 114 && R.U8(43) == 1;  // source carries alpha
        double Constant = Type == 114 ? R.U8(42) / 255.0 : 1;
        auto Bitmap = RecordBitmap(R, 84, Alpha);
        if (!Bitmap) {
          if (R.U32(88) == 0 && (Type == 76 || Type == 77)) C_.PatBlt({X, Y, X + W, Y + H}, Rop);
          break;
        }
        if (Type == 116) MakeKeyTransparent(*Bitmap, R.U32(40));
        C_.StretchBitmap({X, Y, X + W, Y + H}, {SrcX, SrcY, SrcX + SrcW, SrcY + SrcH}, *Bitmap, Rop, Constant);
        break;
      }
      case 81: {
        double X = R.I32(24), Y = R.I32(28), SrcX = R.I32(32), SrcY = R.I32(36), SrcW = R.I32(40),
               SrcH = R.I32(44), W = R.I32(72), H = R.I32(76);
        std::uint32_t Rop = R.U32(68);
        auto Bitmap = RecordBitmap(R, 48, false);
        if (!Bitmap) {
          if (R.U32(52) == 0) C_.PatBlt({X, Y, X + W, Y + H}, Rop);
          break;
        }
        C_.StretchBitmap({X, Y, X + W, Y + H}, DibSource(*Bitmap, SrcX, SrcY, SrcW, SrcH), *Bitmap, Rop);
        break;
      }
      case 80: {
        double X = R.I32(24), Y = R.I32(28), SrcX = R.I32(32), SrcY = R.I32(36), W = R.I32(40), H = R.I32(44);
        auto Bitmap = RecordBitmap(R, 48, false);
        if (Bitmap) C_.StretchBitmap({X, Y, X + W, Y + H}, DibSource(*Bitmap, SrcX, SrcY, W, H), *Bitmap, 0x00CC0020);
        break;
      }
      case 83: Text(R, false); break;
      case 84: Text(R, true); break;
      case 108: {
        PointD Ref{double(R.I32(8)), double(R.I32(12))};
        std::uint32_t Count = R.U32(16), Options = R.U32(20);
        std::size_t At = 36;
        RectD Rect;
        bool HasRect = !(Options & 0x100);
        if (HasRect) {
          Rect = ReadRect(R, 36);
          At = 52;
        }
        if (Count > R.Size()) throw ShortData();
        auto Units = (Options & 0x200) ? DecodeAnsiText(R.Sub(At, Count), C_.Dc().CurrentFont.CharSet)
                                       : DecodeUtf16Text(R.Sub(At, std::size_t{Count} * 2));
        C_.Text(Ref, Units, {}, Options, HasRect ? &Rect : nullptr);
        break;
      }
      case 118: {
        std::uint32_t Vertices = R.U32(24), Objects = R.U32(28), Mode = R.U32(32);
        if (Vertices > R.Size() / 16 || Objects > R.Size() / 8) throw ShortData();
        auto Vertex = [&](std::uint32_t I, PointD& P, std::uint32_t& Color) {
          if (I >= Vertices) throw ShortData();
          std::size_t O = 36 + std::size_t{I} * 16;
          P = {double(R.I32(O)), double(R.I32(O + 4))};
          Color = (R.U16(O + 8) >> 8) | ((R.U16(O + 10) >> 8) << 8) | ((R.U16(O + 12) >> 8) << 16);
        };
        std::size_t At = 36 + std::size_t{Vertices} * 16;
        for (std::uint32_t I = 0; I < Objects; ++I) {
          if (Mode == 2) {
            PointD P[3];
            std::uint32_t Cl[3];
            for (int K = 0; K < 3; ++K) Vertex(R.U32(At + I * 12 + K * 4), P[K], Cl[K]);
            auto Mean = [&](int Shift) {
              return ((((Cl[0] >> Shift) & 0xFF) + ((Cl[1] >> Shift) & 0xFF) + ((Cl[2] >> Shift) & 0xFF)) / 3) << Shift;
            };
            C_.GradientTriangle(P, Mean(0) | Mean(8) | Mean(16));
          } else {
            PointD A, B;
            std::uint32_t Ca, Cb;
            Vertex(R.U32(At + I * 8), A, Ca);
            Vertex(R.U32(At + I * 8 + 4), B, Cb);
            C_.GradientRect({A.X, A.Y, B.X, B.Y}, Ca, Cb, Mode == 1);
          }
        }
        break;
      }
      default: break;  // comments (EMF+), palettes, colour management, unknown records
    }
  }

  std::span<const std::uint8_t> Bytes_;
  EmfCanvas& C_;
};

class EmfPicture final : public Picture {
public:
  EmfPicture(std::vector<std::uint8_t> Bytes, EmfLayout Layout, std::int32_t Width, std::int32_t Height)
      : Bytes_(std::move(Bytes)), Layout_(Layout), Width_(Width), Height_(Height) {}
  std::int32_t Width() const override { return Width_; }
  std::int32_t Height() const override { return Height_; }
  void Render(cairo_t* Target, double X, double Y, double W, double H) const override {
    if (!(W > 0) || !(H > 0)) return;
    EmfCanvas Canvas(Target, X, Y, W, H, Layout_);
    Canvas.PixelScale = std::sqrt((W / Width_) * (H / Height_));
    EmfPlayer(Bytes_, Canvas).Play();
  }

private:
  std::vector<std::uint8_t> Bytes_;
  EmfLayout Layout_;
  std::int32_t Width_, Height_;
};

std::int32_t ClampPixels(double Px) {
  return static_cast<std::int32_t>(std::clamp(std::round(std::fabs(Px)), 1.0, double(MaxPictureSide)));
}

}  // namespace

std::unique_ptr<Picture> DecodeEmf(std::span<const std::uint8_t> Bytes, const DecodeHints&) {
  try {
    ByteReader R(Bytes);
    std::uint32_t HeaderSize = R.U32(4);
    if (R.U32(0) != 1 || R.U32(40) != EmfSignature || HeaderSize < 88 || HeaderSize > Bytes.size())
      throw PictureError("Kein erweitertes Metafile");
    // Walk the chain: every record must lie inside the file.
    std::size_t At = 0;
    while (R.Has(At, 8)) {
      std::uint32_t Type = R.U32(At), Size = R.U32(At + 4);
      if (Type == 0 && Size == 0) break;  // zero padding after the last record
      if (Size < 8 || Size % 4 != 0 || Size > Bytes.size() - At)
        throw PictureError("Metafile-Datensatz außerhalb der Datei");
      if (Type == 14) break;
      At += Size;
    }

    RectD Bounds = ReadRect(R, 8), Frame = ReadRect(R, 24);
    double DevX = R.I32(72), DevY = R.I32(76), MmX = R.I32(80), MmY = R.I32(84);
    EmfLayout Layout;
    bool Metric = DevX > 0 && DevY > 0 && MmX > 0 && MmY > 0;
    if (Metric) Layout.MmX = DevX / MmX, Layout.MmY = DevY / MmY;
    std::int32_t Width, Height;
    if (Metric && Frame.Right > Frame.Left && Frame.Bottom > Frame.Top) {
      Layout.Frame = {Frame.Left * Layout.MmX / 100, Frame.Top * Layout.MmY / 100, Frame.Right * Layout.MmX / 100,
                      Frame.Bottom * Layout.MmY / 100};
      Width = ClampPixels((Frame.Right - Frame.Left) * 96 / 2540);
      Height = ClampPixels((Frame.Bottom - Frame.Top) * 96 / 2540);
    } else if (Bounds.Right >= Bounds.Left && Bounds.Bottom >= Bounds.Top) {
      Layout.Frame = {Bounds.Left, Bounds.Top, Bounds.Right + 1, Bounds.Bottom + 1};
      double PerInch = Metric ? Layout.MmX * 25.4 : 96;
      Width = ClampPixels((Bounds.Right - Bounds.Left + 1) * 96 / PerInch);
      Height = ClampPixels((Bounds.Bottom - Bounds.Top + 1) * 96 / PerInch);
    } else {
      throw PictureError("Metafile ohne Ausdehnung");
    }
    if (!(Layout.Frame.Right - Layout.Frame.Left > 0) || !(Layout.Frame.Bottom - Layout.Frame.Top > 0))
      throw PictureError("Metafile ohne Ausdehnung");
    return std::make_unique<EmfPicture>(std::vector<std::uint8_t>(Bytes.begin(), Bytes.end()), Layout, Width, Height);
  } catch (const ShortData&) {
    throw PictureError("Erweitertes Metafile unvollständig");
  }
}

}  // namespace platform
