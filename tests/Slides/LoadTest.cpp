// Loading presentations assembled byte by byte: the slide list, the object
// records, and the errors of damaged and hostile files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "CKS/CKSTypes.h"
#include "CKS/Streams.h"
#include "Chore/Registration.h"
#include "PluginEngine/PluginLists.h"
#include "SlideObjects/BackgroundObjects.h"
#include "SlideObjects/PIPSound.h"
#include "Slides/Slides.h"
#include "tests/Slides/PresentationBytes.h"

using namespace testbytes;

namespace {

class Load : public ::testing::Test {
protected:
  static void SetUpTestSuite() { RegisterPluginClasses(PluginRegistry); }

  void LoadBytes(const Bytes& File) {
    TMemoryStream Stream(File);
    Slides.LoadFromStream(Stream);
  }
  // The message of the error loading File raises; empty when it loads.
  std::string LoadError(const Bytes& File) {
    try {
      LoadBytes(File);
    } catch (const std::exception& E) {
      return E.what();
    }
    return {};
  }
  TDavazozavPlugin* Obj(int S, int O) { return Slides.Slides.at(S)->Objects.Objects(O); }

  TSlides Slides;
};

Bytes Rect(std::uint32_t Color) { return Record("TPVPColorRect", ColorRectPayload(0, 1000, 0, 0, 0.5, 0.5, Color)); }

TEST_F(Load, EmptyPresentationHasNoSlides) {
  LoadBytes(Container({}));
  EXPECT_EQ(Slides.Count(), 0);
  EXPECT_EQ(Slides.FileType, 1793);
}

TEST_F(Load, ChunksOfOtherTypesAreSkipped) {
  LoadBytes(Container({SlideChunk({Rect(1)}), Chunk(2, Raw("whatever")), Chunk(7, {}), SlideChunk({Rect(2), Rect(3)})}));
  ASSERT_EQ(Slides.Count(), 2);
  EXPECT_EQ(Slides.Slides[0]->Objects.Count(), 1);
  EXPECT_EQ(Slides.Slides[1]->Objects.Count(), 2);
  EXPECT_EQ(static_cast<TPVPColorRect*>(Obj(1, 1))->RectColor, 3u);
}

TEST_F(Load, OnlyAsManyChunksAsTheHeaderCounts) {
  LoadBytes(Container({SlideChunk({}), SlideChunk({}), SlideChunk({})}, 1793, 2));
  EXPECT_EQ(Slides.Count(), 2);
}

TEST_F(Load, OtherFileTypeLoadsNothingWithoutError) {
  LoadBytes(Container({SlideChunk({Rect(1)})}, 1794));
  EXPECT_EQ(Slides.Count(), 0);
}

TEST_F(Load, ObjectFieldsAreReadInOrder) {
  LoadBytes(Container({SlideChunk({Record("TPVPColorRect", ColorRectPayload(1, 250, 0.25, 0.5, 0.75, 1.0, 0xFF000008))})}));
  auto* R = dynamic_cast<TPVPColorRect*>(Obj(0, 0));
  ASSERT_NE(R, nullptr);
  EXPECT_EQ(R->TimingMode, 1);
  EXPECT_EQ(R->Duration, 250u);
  EXPECT_EQ(R->Placement, RelRect(0.25, 0.5, 0.75, 1.0));
  EXPECT_EQ(R->RectColor, 0xFF000008u);
}

TEST_F(Load, UnregisteredRecordIsSkippedWithItsData) {
  LoadBytes(Container({SlideChunk({Record("TNoSuchObject", Raw("0123456789")), Record("TPVPBackground", Raw("xyz")),
                                   Rect(0x00ABCDEF)})}));
  auto& Slide = *Slides.Slides[0];
  ASSERT_EQ(Slide.Objects.Count(), 1);
  EXPECT_EQ(static_cast<TPVPColorRect*>(Slide.Objects.Objects(0))->RectColor, 0x00ABCDEFu);
  EXPECT_EQ(Slide.UnregisteredClassNames(), (std::vector<std::string>{"TNoSuchObject", "TPVPBackground"}));
}

TEST_F(Load, ClassNamesIgnoreCase) {
  LoadBytes(Container({SlideChunk({Record("tpipsound", SoundPayload(2, 0, "a.wav"))})}));
  ASSERT_NE(dynamic_cast<TPIPSound*>(Obj(0, 0)), nullptr);
}

TEST_F(Load, ObjectReadingTooLittleOrTooMuchIsCorrectedByTheRecordSize) {
  // A sound record with 3 extra bytes after its payload, then a record whose
  // size is smaller than what its object reads.
  Bytes Long = Cat({Str("TPIPSound"), I32(4 + 9 + 3), SoundPayload(0, 5, ""), Raw("pad")});
  LoadBytes(Container({SlideChunk({Long, Rect(9)})}));
  ASSERT_EQ(Slides.Slides[0]->Objects.Count(), 2);
  EXPECT_EQ(static_cast<TPVPColorRect*>(Obj(0, 1))->RectColor, 9u);
}

TEST_F(Load, NegativeOrZeroCountMeansNoObjects) {
  for (std::int32_t Count : {0, -1, INT32_MIN}) {
    TSlides Fresh;
    TMemoryStream Stream(Container({Chunk(1, Cat({I32(Count), Rect(1)}))}));
    Fresh.LoadFromStream(Stream);
    ASSERT_EQ(Fresh.Count(), 1);
    EXPECT_EQ(Fresh.Slides[0]->Objects.Count(), 0) << Count;
  }
}

TEST_F(Load, SlidesAreAppendedToThoseLoadedBefore) {
  LoadBytes(Container({SlideChunk({})}));
  LoadBytes(Container({SlideChunk({}), SlideChunk({})}));
  EXPECT_EQ(Slides.Count(), 3);
}

// Damaged and hostile files: each fails with its message, before anything is
// made for the damaged part.
TEST_F(Load, DamagedFiles) {
  const Bytes Good = Container({SlideChunk({Rect(1)})});
  Bytes WrongChunkMagic = Good;
  WrongChunkMagic[32] = 'X';
  Bytes ChunkTooSmall = Container({Cat({Raw("CHNK"), I32(1), I32(11)})});
  Bytes ChunkPastEnd = Container({Cat({Raw("CHNK"), I32(1), I32(1000), I32(0)})});
  Bytes RecordTooSmall = Container({Chunk(1, Cat({I32(1), Str("TPIPSound"), I32(3), SoundPayload(0, 0, "")}))});
  Bytes RecordNegative = Container({Chunk(1, Cat({I32(1), Str("TPIPSound"), I32(INT32_MIN), SoundPayload(0, 0, "")}))});
  Bytes RecordPastEnd = Container({Chunk(1, Cat({I32(1), Str("TPIPSound"), I32(INT32_MAX), SoundPayload(0, 0, "")}))});
  Bytes TruncatedPayload = Container({Chunk(1, Cat({I32(1), Str("TPVPColorRect"), I32(4), Timing(0, 0)}))});
  Bytes MoreChunksCounted = Container({SlideChunk({})}, 1793, 5);
  Bytes StringPastEnd = Container({Chunk(1, Cat({I32(1), I32(1000000), Raw("TP")}))});

  const struct {
    const char* Name;
    Bytes File;
    const char* Message;
    int SlidesMade;
    int ObjectsMade;  // in the first slide
  } Cases[] = {
      {"empty file", {}, "Keine CKS-Datei!", 0, 0},
      {"shorter than the header", Bytes(Good.begin(), Good.begin() + 31), "Keine CKS-Datei!", 0, 0},
      {"wrong file magic", Cat({Raw("PRSN"), Bytes(Good.begin() + 4, Good.end())}), "Keine CKS-Datei!", 0, 0},
      {"wrong chunk magic", WrongChunkMagic, "Falscher Chunkheader!", 0, 0},
      {"chunk size below 12", ChunkTooSmall, "Falscher Chunkheader!", 0, 0},
      {"chunk past the end", ChunkPastEnd, "Stream-Lesefehler", 0, 0},
      {"record size below 4", RecordTooSmall, "Stream-Lesefehler", 1, 0},
      {"record size negative", RecordNegative, "Stream-Lesefehler", 1, 0},
      {"record past the end", RecordPastEnd, "Stream-Lesefehler", 1, 0},
      // The object exists before it reads its payload; it stays with the slide.
      {"truncated payload", TruncatedPayload, "Stream-Lesefehler", 1, 1},
      {"more chunks counted than present", MoreChunksCounted, "Stream-Lesefehler", 1, 0},
      {"string longer than the file", StringPastEnd, "Stream-Lesefehler", 1, 0},
  };
  for (const auto& C : Cases) {
    TSlides Fresh;
    TMemoryStream Stream(C.File);
    std::string Message;
    try {
      Fresh.LoadFromStream(Stream);
    } catch (const std::exception& E) {
      Message = E.what();
    }
    EXPECT_EQ(Message, C.Message) << C.Name;
    EXPECT_EQ(Fresh.Count(), C.SlidesMade) << C.Name;
    if (Fresh.Count() > 0) {
      EXPECT_EQ(Fresh.Slides[0]->Objects.Count(), C.ObjectsMade) << C.Name;
    }
  }
}

// Records nested inside each other's text: every record's size points back
// into the previous record's data, so each level is read again by the level
// around it. Without a budget the reads grow with the square of the size.
Bytes NestedTextRecords(int Levels) {
  Bytes Inner;
  for (int L = 0; L < Levels; ++L) {
    const Bytes Head = Cat({Timing(0, 0), Placement(0, 0, 1, 1)});
    const Bytes Tail = Cat({NoFont(), U8(0), U32(0), U32(0), U8(0), Str("")});
    // The size reaches from the size field to the text's first byte.
    Inner = Cat({Str("TPVPText"), I32(4 + static_cast<std::int32_t>(Head.size()) + 4), Head, Str(std::string(Inner.begin(), Inner.end())), Tail});
  }
  return Inner;
}

TEST_F(Load, RecordsPointingBackIntoEachOtherRunOutOfTheReadBudget) {
  const int Levels = 300;
  const Bytes Nested = NestedTextRecords(Levels);
  const Bytes File = Container({Chunk(1, Cat({I32(Levels), Nested}))});
  EXPECT_EQ(LoadError(File), "Stream-Lesefehler");
  // The same nesting a few levels deep stays inside the budget and loads.
  TSlides Small;
  TMemoryStream Stream(Container({Chunk(1, Cat({I32(3), NestedTextRecords(3)}))}));
  Small.LoadFromStream(Stream);
  EXPECT_EQ(Small.Slides[0]->Objects.Count(), 3);
}

TEST_F(Load, LoadFromFileSetsFileNameAndPresentationFolderOnlyOnSuccess) {
  const auto Dir = std::filesystem::temp_directory_path() / "lmo-load-test";
  std::filesystem::create_directories(Dir);
  const auto Good = (Dir / "good.lmo").string();
  const auto Bad = (Dir / "bad.lmo").string();
  {
    const Bytes G = Container({SlideChunk({Rect(1)})});
    std::ofstream(Good, std::ios::binary).write(reinterpret_cast<const char*>(G.data()), std::streamsize(G.size()));
    std::ofstream(Bad, std::ios::binary) << "not a presentation, but long enough to have a header";
  }
  TSlides P;
  EXPECT_THROW(P.LoadFromFile(Bad), ECKSError);
  EXPECT_EQ(P.FileName, "");
  P.LoadFromFile(Good);
  EXPECT_EQ(P.FileName, Good);
  EXPECT_EQ(P.Count(), 1);
  EXPECT_THROW(P.LoadFromFile((Dir / "missing.lmo").string()), std::exception);
  EXPECT_EQ(P.FileName, Good);
  std::filesystem::remove_all(Dir);
}

}  // namespace
