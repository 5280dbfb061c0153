// Every real sample of the rare formats in the shared corpus: valid files
// decode and draw, broken ones fail cleanly or draw without harm.
#include "Platform/Pictures/RareDecoders.h"
#include "tests/Metafile/RenderSupport.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace platform;
using namespace metafiletest;

namespace {

DecoderFunction DecoderFor(std::string Extension) {
  for (char& C : Extension) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  if (Extension == "wmf") return &DecodeWmf;
  if (Extension == "emf") return &DecodeEmf;
  if (Extension == "eps") return &DecodeEps;
  if (Extension == "cel" || Extension == "pic") return &DecodeAutodesk;
  if (Extension == "psp" || Extension == "pfr" || Extension == "tub") return &DecodePaintShopPro;
  if (Extension == "ged") return &DecodeArtsLetters;
  return nullptr;
}

int InkPixels(const Surface& S) {
  int Ink = 0;
  for (int Y = 0; Y < S.Height; ++Y)
    for (int X = 0; X < S.Width; ++X) Ink += !Near(S.At(X, Y), 0xFFFFFF, 30);
  return Ink;
}

TEST(Corpus, RareFormatSamples) {
  std::ifstream Manifest(Corpus("MANIFEST.tsv"));
  ASSERT_TRUE(Manifest.good());
  std::string Line;
  int Checked = 0;
  while (std::getline(Manifest, Line)) {
    std::istringstream Fields(Line);
    std::string Path, Expect;
    std::getline(Fields, Path, '\t');
    std::getline(Fields, Expect, '\t');
    DecoderFunction Decode = DecoderFor(ExtensionOf(Path));
    if (!Decode) continue;
    SCOPED_TRACE(Path);
    ++Checked;
    auto Bytes = ReadFile(Corpus(Path));
    std::unique_ptr<Picture> P;
    try {
      P = Decode(Bytes, {});
    } catch (const PictureError&) {
      EXPECT_NE(Expect, "valid");
      continue;
    }
    ASSERT_GT(P->Width(), 0);
    ASSERT_GT(P->Height(), 0);
    if (P->Raster()) continue;
    // Vector pictures draw at a size of their own shape, small and large.
    double Aspect = double(P->Height()) / P->Width();
    for (int W : {64, 600}) {
      int H = std::max(1, static_cast<int>(W * Aspect));
      if (H > 2000) H = 2000;
      Surface S = Render(*P, W, H);
      // Everything valid but the blank polygon test and the EMF+-only sheet shows ink.
      bool Blank = Path.find("empty-polygon-close") != std::string::npos || Path.find("_p_ref") != std::string::npos;
      if (Expect == "valid" && !Blank) {
        EXPECT_GT(InkPixels(S), W * H / 500) << W;
      }
    }
  }
  EXPECT_GT(Checked, 40);
}

}  // namespace

namespace {

TEST(Corpus, TheFormatTableReachesTheseDecoders) {
  RegisterPictureFormats();
  struct Case {
    const char* Extension;
    std::string File;
    bool Vector;
  } Cases[] = {{"WMF", Corpus("wmf/poi/santa.wmf"), true},
               {"emf", Corpus("wmf/poi/wrench.emf"), true},
               {"eps", Corpus("eps/pillow/1.eps"), false},
               {"cel", Corpus("autodesk/animatorpro/animator1/ZIN.CEL"), false},
               {"pic", Corpus("autodesk/animatorpro/animator1/ZOUT.CEL"), false},
               {"psp", Corpus("psp/exiftool/PSP.psp"), false},
               {"pfr", Corpus("psp/exiftool/PSP.psp"), false},
               {"tub", Corpus("psp/exiftool/PSP.psp"), false}};
  for (const Case& C : Cases) {
    auto P = DecodePicture(C.Extension, ReadFile(C.File));
    EXPECT_EQ(P->Raster() == nullptr, C.Vector) << C.Extension;
  }
  // Arts & Letters thumbnails are known but not decoded.
  EXPECT_TRUE(ThePictureFormats().Has("ged"));
  EXPECT_THROW(DecodePicture("ged", ReadFile(Corpus("wmf/poi/santa.wmf"))), PictureError);
}

}  // namespace
