// The picture-format table: every extension a presentation may name, mapped
// to its decoder. The extension alone decides; content is never sniffed.
#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/Picture.h"

#include <mutex>

#ifdef LMO_RARE_DECODERS
#include "Platform/Pictures/RareDecoders.h"
#endif

namespace platform {

namespace {

// GraphicsMagick coders, each told its format by name so that the library
// never guesses from the content.
template <const char* Magick, bool Premultiplied = false>
std::unique_ptr<Picture> ThroughMagick(Bytes Data, const DecodeHints&) {
  return DecodeWithMagick(Magick, Data, Premultiplied);
}

constexpr char Bmp[] = "BMP";
constexpr char Ico[] = "ICO";
constexpr char Pcx[] = "PCX";
constexpr char Sgi[] = "SGI";
constexpr char Ppm[] = "PPM";
constexpr char Pgm[] = "PGM";
constexpr char Pbm[] = "PBM";
constexpr char Pcd[] = "PCD";
constexpr char Cut[] = "CUT";
constexpr char Rla[] = "RLA";

void RegisterAll(PictureFormats& F) {
  // Windows bitmaps. rle, dib and msk files are ordinary BMP files (with the
  // file header), so all four go to the BMP coder; GraphicsMagick's own "RLE"
  // and "DIB" coders are other formats (Utah RLE, headerless DIB).
  for (const char* E : {"bmp", "rle", "dib", "msk"}) F.Register(E, &ThroughMagick<Bmp>);
  F.Register("ico", &ThroughMagick<Ico>);

  for (const char* E : {"jpg", "jpeg", "jpe", "jfif"}) F.Register(E, &DecodeJpeg);
  for (const char* E : {"tif", "tiff"}) F.Register(E, &DecodeTiff);
  F.Register("png", &DecodePng);
  F.Register("gif", &DecodeGif);

  // Targa under its historical extensions (Vista, ICB, Windows), all one layout;
  // our own reader, since GraphicsMagick does not read grey pictures with alpha.
  for (const char* E : {"tga", "vst", "vda", "win", "icb"}) F.Register(E, &DecodeTarga);
  // pcc and Word's scr screen captures are PCX files.
  for (const char* E : {"pcx", "pcc", "scr"}) F.Register(E, &ThroughMagick<Pcx>);
  // Alias/Wavefront; rpf (rich pixel format) extends the rla header and layout.
  // Colour is stored premultiplied by the matte.
  for (const char* E : {"rla", "rpf"}) F.Register(E, &ThroughMagick<Rla, true>);
  // SGI images; rgb, rgba and bw are the SGI file under its channel names
  // (GraphicsMagick's "RGB"/"RGBA" coders would read raw samples instead).
  for (const char* E : {"sgi", "rgb", "rgba", "bw"}) F.Register(E, &ThroughMagick<Sgi>);
  // Photoshop and PhotoDeluxe: the merged image, by our own reader.
  for (const char* E : {"psd", "pdd"}) F.Register(E, &DecodePsd);
  F.Register("ppm", &ThroughMagick<Ppm>);
  F.Register("pgm", &ThroughMagick<Pgm>);
  F.Register("pbm", &ThroughMagick<Pbm>);
  F.Register("pcd", &ThroughMagick<Pcd>);
  F.Register("cut", &ThroughMagick<Cut>);

  // ---- Rare formats -------------------------------------------------------
  // Metafiles, EPS previews, Autodesk, Paint Shop Pro and Arts & Letters have
  // decoders of their own (RareDecoders.h, built in by Rare.cmake). Without
  // them these extensions are known but fail cleanly, so a picture in such a
  // format is simply not shown.
#ifdef LMO_RARE_DECODERS
  F.Register("wmf", &DecodeWmf);
  F.Register("emf", &DecodeEmf);
  F.Register("eps", &DecodeEps);
  for (const char* E : {"cel", "pic"}) F.Register(E, &DecodeAutodesk);
  for (const char* E : {"psp", "pfr", "tub"}) F.Register(E, &DecodePaintShopPro);
  F.Register("ged", &DecodeArtsLetters);
#else
  for (const char* E : {"wmf", "emf", "eps", "cel", "pic", "psp", "pfr", "tub", "ged"})
    F.Register(E, &DecodeUnsupported);
#endif
  // ---- end of rare formats -------------------------------------------------
}

}  // namespace

void RegisterPictureFormats() {
  static std::once_flag Once;
  std::call_once(Once, [] { RegisterAll(ThePictureFormats()); });
}

}  // namespace platform
