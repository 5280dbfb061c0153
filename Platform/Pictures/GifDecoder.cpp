// GIF through giflib, read from memory: the first frame on its logical
// screen, transparent pixels (and the screen outside the frame) with alpha 0.
#include "Platform/Pictures/DecoderSupport.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <gif_lib.h>

namespace platform {

namespace {

struct Reader {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Pos;
};

int OnRead(GifFileType* Gif, GifByteType* Target, int Length) {
  auto* In = static_cast<Reader*>(Gif->UserData);
  if (Length <= 0) return 0;
  const std::size_t Count = std::min(static_cast<std::size_t>(Length), In->Size - In->Pos);
  std::memcpy(Target, In->Data + In->Pos, Count);
  In->Pos += Count;
  return static_cast<int>(Count);
}

struct GifClose {
  void operator()(GifFileType* Gif) const {
    int Error = 0;
    DGifCloseFile(Gif, &Error);
  }
};

[[noreturn]] void Fail(int Code) {
  const char* Text = GifErrorString(Code);
  throw PictureError(std::string("GIF: ") + (Text ? Text : "nicht lesbar"));
}

}  // namespace

std::unique_ptr<Picture> DecodeGif(Bytes Data, const DecodeHints&) {
  if (Data.size() < 13) throw PictureError("Keine GIF-Datei");
  Reader In{Data.data(), Data.size(), 0};
  int Error = 0;
  std::unique_ptr<GifFileType, GifClose> Gif(DGifOpen(&In, OnRead, &Error));
  if (!Gif) Fail(Error);

  int Transparent = NO_TRANSPARENT_COLOR;
  for (;;) {
    GifRecordType Record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(Gif.get(), &Record) == GIF_ERROR) Fail(Gif->Error);
    if (Record == TERMINATE_RECORD_TYPE) throw PictureError("GIF ohne Bild");
    if (Record == EXTENSION_RECORD_TYPE) {
      int Code = 0;
      GifByteType* Block = nullptr;
      if (DGifGetExtension(Gif.get(), &Code, &Block) == GIF_ERROR) Fail(Gif->Error);
      if (Code == GRAPHICS_EXT_FUNC_CODE && Block != nullptr && Block[0] >= 4) {
        GraphicsControlBlock Control;
        DGifExtensionToGCB(Block[0], Block + 1, &Control);
        Transparent = Control.TransparentColor;
      }
      while (Block != nullptr) {
        if (DGifGetExtensionNext(Gif.get(), &Block) == GIF_ERROR) Fail(Gif->Error);
      }
      continue;
    }
    if (Record != IMAGE_DESC_RECORD_TYPE) continue;

    if (DGifGetImageDesc(Gif.get()) == GIF_ERROR) Fail(Gif->Error);
    const GifImageDesc& Frame = Gif->Image;
    const std::int64_t Left = std::max(0, Frame.Left), Top = std::max(0, Frame.Top);
    if (Frame.Width <= 0 || Frame.Height <= 0) throw PictureError("GIF: leeres Bild");
    // The logical screen, grown to hold the frame when it lies outside.
    const std::int64_t Width = std::max<std::int64_t>(Gif->SWidth, Left + Frame.Width);
    const std::int64_t Height = std::max<std::int64_t>(Gif->SHeight, Top + Frame.Height);
    CheckRasterSize(Frame.Width, Frame.Height);
    RasterImage Image = MakeRaster(Width, Height);

    const ColorMapObject* Map = Frame.ColorMap ? Frame.ColorMap : Gif->SColorMap;
    std::uint32_t Palette[256];
    for (int I = 0; I < 256; ++I) {
      // Without a colour table the indices are shown as grey levels.
      std::uint32_t Colour = 0xFF000000u | (static_cast<std::uint32_t>(I) * 0x010101u);
      if (Map != nullptr) {
        Colour = 0xFF000000u;  // indices beyond the table are black
        if (I < Map->ColorCount) {
          const GifColorType& C = Map->Colors[I];
          Colour |= (std::uint32_t{C.Red} << 16) | (std::uint32_t{C.Green} << 8) | C.Blue;
        }
      }
      Palette[I] = Colour;
    }
    if (Transparent >= 0 && Transparent < 256) Palette[Transparent] = 0;

    std::vector<GifPixelType> Line(static_cast<std::size_t>(Frame.Width));
    auto PutRow = [&](std::int64_t Y) {
      std::uint32_t* Row = Image.Pixels.data() + (Top + Y) * Width + Left;
      for (int X = 0; X < Frame.Width; ++X) Row[X] = Palette[Line[static_cast<std::size_t>(X)]];
    };
    bool Damaged = false;
    auto ReadRow = [&](std::int64_t Y) {
      if (!Damaged && DGifGetLine(Gif.get(), Line.data(), Frame.Width) == GIF_ERROR) {
        // A truncated or damaged frame keeps the rows read so far.
        if (Y == 0) Fail(Gif->Error);
        Damaged = true;
      }
      if (!Damaged) PutRow(Y);
    };
    if (Frame.Interlace) {
      static constexpr int Start[] = {0, 4, 2, 1}, Step[] = {8, 8, 4, 2};
      for (int Pass = 0; Pass < 4; ++Pass)
        for (std::int64_t Y = Start[Pass]; Y < Frame.Height; Y += Step[Pass]) ReadRow(Y);
    } else {
      for (std::int64_t Y = 0; Y < Frame.Height; ++Y) ReadRow(Y);
    }
    UpdateHasAlpha(Image);
    return MakeRasterPicture(std::move(Image));
  }
}

}  // namespace platform
