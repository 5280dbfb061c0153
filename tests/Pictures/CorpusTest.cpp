// Walks the real-world test corpus: every valid raster file decodes (and looks
// like its reference rendering where there is one and the file is opaque),
// every damaged file is rejected or decoded without harm.
#include "Platform/Pictures/Picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using platform::PictureError;

const std::filesystem::path Corpus = LMO_CORPUS_DIR;

// The folders of the raster formats decoded by lmo_pictures' own table entries.
const std::set<std::string> RasterFolders = {"png", "jpeg", "bmp", "tiff", "gif", "pnm", "ico",
                                             "tga", "pcx", "sgi", "psd", "rla", "pcd"};

// Valid files the libraries of Debian 12 cannot show; they must still fail cleanly.
const std::map<std::string, std::string> KnownLimits = {
    {"tiff/libtiff/testfax3_bug54_1dnoEOL.tif",
     "libtiff 4.5 stops at the first line of G3 1-D data without EOL codes"},
};

struct Entry {
  std::string Path, Expect, Reference, Note;
};

std::vector<Entry> ReadManifest() {
  std::vector<Entry> Entries;
  std::ifstream In(Corpus / "MANIFEST.tsv");
  std::string Line;
  while (std::getline(In, Line)) {
    if (Line.empty() || Line[0] == '#') continue;
    std::istringstream Fields(Line);
    Entry E;
    std::getline(Fields, E.Path, '\t');
    std::getline(Fields, E.Expect, '\t');
    std::getline(Fields, E.Reference, '\t');
    std::getline(Fields, E.Note);
    const std::string Folder = E.Path.substr(0, E.Path.find('/'));
    if (RasterFolders.count(Folder)) Entries.push_back(E);
  }
  return Entries;
}

std::unique_ptr<platform::Picture> Load(const std::string& Relative) {
  return platform::LoadPictureFile((Corpus / Relative).string());
}

struct Difference {
  int Max = 0;
  double Mean = 0;
};

Difference Compare(const platform::RasterImage& A, const platform::RasterImage& B) {
  Difference D;
  double Sum = 0;
  for (std::size_t I = 0; I < A.Pixels.size(); ++I) {
    // The colour of an invisible pixel does not matter.
    const bool Invisible = (A.Pixels[I] >> 24) == 0 && (B.Pixels[I] >> 24) == 0;
    for (int Shift = Invisible ? 24 : 0; Shift <= 24; Shift += 8) {
      const int Delta = std::abs(static_cast<int>((A.Pixels[I] >> Shift) & 0xFF) -
                                 static_cast<int>((B.Pixels[I] >> Shift) & 0xFF));
      D.Max = std::max(D.Max, Delta);
      Sum += Delta;
    }
  }
  D.Mean = Sum / (4.0 * static_cast<double>(A.Pixels.size()));
  return D;
}

bool Mentions(const std::string& Note, std::initializer_list<const char*> Words) {
  for (const char* W : Words)
    if (Note.find(W) != std::string::npos) return true;
  return false;
}

TEST(PictureCorpus, EveryFileBehavesAsTheManifestSays) {
  ASSERT_TRUE(std::filesystem::exists(Corpus / "MANIFEST.tsv")) << Corpus;
  const std::vector<Entry> Entries = ReadManifest();
  ASSERT_GT(Entries.size(), 800u);
  int Decoded = 0, Compared = 0;
  for (const Entry& E : Entries) {
    SCOPED_TRACE(E.Path);
    const bool Registered = platform::ThePictureFormats().Has(platform::ExtensionOf(E.Path));
    std::unique_ptr<platform::Picture> Pic;
    std::string Error;
    try {
      Pic = Load(E.Path);
    } catch (const PictureError& Ex) {
      Error = Ex.what();
    }
    if (!Registered) {
      EXPECT_EQ(Pic, nullptr) << "an extension outside the table must not decode";
      continue;
    }
    if (Pic) ++Decoded;
    if (E.Expect == "valid" && KnownLimits.count(E.Path)) {
      EXPECT_EQ(Pic, nullptr) << "decodes now; drop it from KnownLimits";
    } else if (E.Expect == "valid") {
      EXPECT_NE(Pic, nullptr) << Error;
      if (!Pic || !Pic->Raster()) continue;
      // Animations' references paint all frames.
      if (E.Reference == "-" || Mentions(E.Note, {"not the first frame"})) continue;
      // Several acceptable references: any one of them may match.
      std::istringstream References(E.Reference);
      std::string Reference;
      bool Matched = false;
      std::string Report;
      while (References >> Reference) {
        std::unique_ptr<platform::Picture> Ref;
        try {
          Ref = Load(Reference);
        } catch (const PictureError& Ex) {
          Report += std::string(" reference not decodable: ") + Ex.what();
          continue;
        }
        const auto& A = *Pic->Raster();
        const auto& B = *Ref->Raster();
        if (A.Width != B.Width || A.Height != B.Height) {
          Report += " size " + std::to_string(B.Width) + "x" + std::to_string(B.Height);
          continue;
        }
        // A transparent file is compared with a transparent reference only.
        if (A.HasAlpha && !B.HasAlpha) {
          Matched = true;
          continue;
        }
        const Difference D = Compare(A, B);
        const bool Lossy = Mentions(E.Note, {"approximate", "lossy", "converter", "differ by 1", "±1", "may differ"});
        if (D.Max <= 1 || (Lossy && D.Mean <= 4.0)) Matched = true;
        Report += " max " + std::to_string(D.Max) + " mean " + std::to_string(D.Mean);
      }
      ++Compared;
      EXPECT_TRUE(Matched) << "differs from " << E.Reference << ":" << Report;
    } else if (E.Expect == "broken") {
      // Damaged PNG files are always rejected; elsewhere a lenient decode is allowed.
      if (E.Path.rfind("png/", 0) == 0) {
        EXPECT_EQ(Pic, nullptr);
      }
    }
  }
  std::printf("decoded %d of %zu files, %d compared with a reference\n", Decoded, Entries.size(), Compared);
}

}  // namespace
