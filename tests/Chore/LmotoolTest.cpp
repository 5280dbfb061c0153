// lmotool on presentations assembled byte by byte: dump gives the stored
// fields by their names, build gives the same bytes back, info and check
// report media and unregistered names, damaged files end with their message.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "tests/Slides/PresentationBytes.h"

using namespace testbytes;
using nlohmann::json;

namespace {

struct RunResult {
  int Status = -1;
  std::string Out;
  std::string Err;
};

class Lmotool : public ::testing::Test {
protected:
  void SetUp() override {
    Dir = std::filesystem::temp_directory_path() / ("lmotool-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }

  std::string Write(const std::string& Name, const Bytes& Content) {
    const auto Path = (Dir / Name).string();
    std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(Content.data()), std::streamsize(Content.size()));
    return Path;
  }
  std::string WriteText(const std::string& Name, const std::string& Content) {
    return Write(Name, Bytes(Content.begin(), Content.end()));
  }
  static std::string Slurp(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
  }
  RunResult Run(const std::string& Arguments) {
    const auto ErrFile = (Dir / "stderr.txt").string();
    const std::string Command = std::string(LMOTOOL_PATH) + " " + Arguments + " 2>" + ErrFile;
    RunResult R;
    FILE* Pipe = ::popen(Command.c_str(), "r");
    char Buffer[4096];
    std::size_t N;
    while ((N = std::fread(Buffer, 1, sizeof Buffer, Pipe)) > 0) R.Out.append(Buffer, N);
    const int Raw = ::pclose(Pipe);
    R.Status = WIFEXITED(Raw) ? WEXITSTATUS(Raw) : -1;
    R.Err = Slurp(ErrFile);
    return R;
  }

  std::filesystem::path Dir;
};

// One slide with every registered class, written the natural way.
Bytes EveryClass() {
  return Container({SlideChunk({
                        Record("TPVPColorRect", ColorRectPayload(0, 1000, 0, 0, 0.5, 0.5, 255)),
                        Record("TPVPPicture", PicturePayload(1, 0, "C:\\Bilder\\Gr\xFC" "n.jpg", "", true, 0xFF00000F)),
                        Record("TPVPText", TextPayload(2, 5, "\x84Hallo\x93", Font("Arial", 12, 0xFF, 0x05), 2, 1, 2, 3, "")),
                        Record("TPVPText", TextPayload(0, 0, "", NoFont(), 0, 0, 0x800000, 2, "")),
                        Record("TPIPSound", SoundPayload(0, 3000, "klang.wav")),
                        Record("TPIPSoundWizardSound", SoundPayload(3, 0, "")),
                        Record("TPVPVideo", VideoPayload(255, 0, "film.avi")),
                    }),
                    SlideChunk({})});
}

TEST_F(Lmotool, DumpNamesTheStoredFields) {
  const auto File = Write("every.lmo", EveryClass());
  const RunResult R = Run("dump " + File);
  ASSERT_EQ(R.Status, 0) << R.Err;
  const json Dump = json::parse(R.Out);
  EXPECT_EQ(Dump["FileType"], 1793);
  EXPECT_EQ(Dump["UserValue"], 0);
  ASSERT_EQ(Dump["Slides"].size(), 2u);
  const json& O = Dump["Slides"][0]["Objects"];
  ASSERT_EQ(O.size(), 7u);
  EXPECT_EQ(O[0], json::parse(R"({"Class": "TPVPColorRect", "TimingMode": 0, "Duration": 1000,
                                  "Placement": [0, 0, 0.5, 0.5], "RectColor": 255})"));
  EXPECT_EQ(O[1], json::parse(R"({"Class": "TPVPPicture", "TimingMode": 1, "Duration": 0, "Placement": [0, 0, 1, 1],
                                  "FileName": "C:\\Bilder\\Grün.jpg", "TransitionClass": null,
                                  "FillBackground": true, "FillColor": 4278190095})"));
  EXPECT_EQ(O[2], json::parse(R"({"Class": "TPVPText", "TimingMode": 2, "Duration": 5, "Placement": [0, 0, 1, 1],
                                  "Text": "„Hallo“",
                                  "Font": {"Name": "Arial", "Size": 12, "Color": 255, "Style": ["fsBold", "fsUnderline"]},
                                  "Alignment": 2, "EffectColor": 1, "EffectColor2": 2, "EffectStyle": 3,
                                  "AnimationClass": null})"));
  EXPECT_TRUE(O[3]["Font"].is_null());
  EXPECT_EQ(O[4], json::parse(R"({"Class": "TPIPSound", "TimingMode": 0, "Duration": 3000, "FileName": "klang.wav"})"));
  EXPECT_EQ(O[5]["Class"], "TPIPSoundWizardSound");
  EXPECT_EQ(O[6]["FileName"], "film.avi");
  EXPECT_EQ(Dump["Slides"][1]["Objects"], json::array());
}

TEST_F(Lmotool, BuildOfTheDumpGivesTheSameBytes) {
  const Bytes Original = EveryClass();
  const auto File = Write("every.lmo", Original);
  const RunResult Dumped = Run("dump " + File);
  ASSERT_EQ(Dumped.Status, 0) << Dumped.Err;
  const auto JsonFile = WriteText("every.json", Dumped.Out);
  const auto Rebuilt = (Dir / "rebuilt.lmo").string();
  const RunResult Built = Run("build " + JsonFile + " -o " + Rebuilt);
  ASSERT_EQ(Built.Status, 0) << Built.Err;
  const std::string Bytes = Slurp(Rebuilt);
  EXPECT_EQ(Bytes, std::string(Original.begin(), Original.end()));
}

TEST_F(Lmotool, NonNumberPlacementsAreStringsBothWays) {
  const auto File = Write("nan.lmo", Container({SlideChunk({Record("TPVPColorRect", Cat({Timing(0, 0),
      Placement(std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                -std::numeric_limits<double>::infinity(), 1), U32(0)}))})}));
  const RunResult R = Run("dump " + File);
  ASSERT_EQ(R.Status, 0) << R.Err;
  EXPECT_EQ(json::parse(R.Out)["Slides"][0]["Objects"][0]["Placement"], json::parse(R"(["NaN", "Infinity", "-Infinity", 1.0])"));
  const auto JsonFile = WriteText("nan.json", R.Out);
  ASSERT_EQ(Run("build " + JsonFile + " -o " + (Dir / "nan2.lmo").string()).Status, 0);
  EXPECT_EQ(Slurp((Dir / "nan2.lmo").string()), Slurp(File));
}

TEST_F(Lmotool, BuildTakesClassDefaultsForFieldsLeftOut) {
  const auto JsonFile = WriteText("min.json", R"({"Slides": [{"Objects": [{"Class": "TPVPColorRect", "RectColor": 255},
                                                                           {"Class": "TPIPSound"}]}]})");
  const auto Out = (Dir / "min.lmo").string();
  const RunResult R = Run("build " + JsonFile + " -o " + Out);
  ASSERT_EQ(R.Status, 0) << R.Err;
  const Bytes Expected = Container({SlideChunk({Record("TPVPColorRect", ColorRectPayload(0, 0, 0, 0, 1, 1, 255)),
                                                Record("TPIPSound", SoundPayload(0, 0, ""))})});
  EXPECT_EQ(Slurp(Out), std::string(Expected.begin(), Expected.end()));
}

TEST_F(Lmotool, BuildRejectsWhatItCannotStore) {
  const struct {
    const char* Json;
    const char* Mentions;
  } Cases[] = {
      {"{", "not valid JSON"},
      {R"({"Slides": [{"Objects": [{"Class": "TPVPBackground"}]}]})", "Slides[0].Objects[0].Class"},
      {R"({"Slides": [{"Objects": [{"Class": "TPVPColorRect", "Colour": 1}]}]})", "Slides[0].Objects[0].Colour"},
      {R"({"Slides": [{"Objects": [{"Class": "TPVPColorRect", "Duration": -1}]}]})", "out of range"},
      {R"({"Slides": [{"Objects": [{"Class": "TPVPText", "Text": "€ ok, but not ☃"}]}]})", "Windows-1252"},
      {R"({"Slides": [{"Objects": [{"Class": "TPVPPicture", "TransitionClass": "TTPNoSuch"}]}]})", "TTPNoSuch"},
  };
  int I = 0;
  for (const auto& C : Cases) {
    const auto JsonFile = WriteText("bad" + std::to_string(I++) + ".json", C.Json);
    const RunResult R = Run("build " + JsonFile + " -o " + (Dir / "bad.lmo").string());
    EXPECT_NE(R.Status, 0) << C.Json;
    EXPECT_NE(R.Err.find(C.Mentions), std::string::npos) << C.Json << "\n" << R.Err;
  }
}

TEST_F(Lmotool, InfoAndCheckReportMediaAndUnregisteredNames) {
  const auto Shown = Write("bild.jpg", Raw("not really a picture"));
  const Bytes Show = Container({SlideChunk({
      Record("TPVPPicture", PicturePayload(0, 2000, "C:\\Anderswo\\bild.jpg", "TTPNoSuchTransition", false, 0)),
      Record("TPIPSound", SoundPayload(1, 0, "C:\\Anderswo\\fehlt.wav")),
      Record("TMysteryObject", Raw("1234")),
  })});
  const auto File = Write("show.lmo", Show);
  const RunResult Info = Run("info " + File);
  ASSERT_EQ(Info.Status, 0) << Info.Err;
  EXPECT_NE(Info.Out.find("Slides: 1"), std::string::npos) << Info.Out;
  EXPECT_NE(Info.Out.find("1. TPVPPicture  mode 0 (timed)  2000 ms"), std::string::npos) << Info.Out;
  EXPECT_NE(Info.Out.find("2. TPIPSound  mode 1 (key or click)"), std::string::npos) << Info.Out;
  EXPECT_NE(Info.Out.find("C:\\Anderswo\\bild.jpg  found: " + Shown), std::string::npos) << Info.Out;
  EXPECT_NE(Info.Out.find("C:\\Anderswo\\fehlt.wav  MISSING"), std::string::npos) << Info.Out;
  EXPECT_NE(Info.Out.find("TMysteryObject"), std::string::npos) << Info.Out;
  EXPECT_NE(Info.Out.find("TTPNoSuchTransition"), std::string::npos) << Info.Out;
  EXPECT_EQ(Run("check " + File).Status, 1);

  const auto Complete = Write("complete.lmo", Container({SlideChunk({
      Record("TPVPPicture", PicturePayload(0, 0, "bild.jpg", "", false, 0)), Record("TPVPColorRect", ColorRectPayload(0, 0, 0, 0, 1, 1, 0))})}));
  const RunResult Ok = Run("check " + Complete);
  EXPECT_EQ(Ok.Status, 0) << Ok.Out << Ok.Err;
  const auto Unregistered = Write("unreg.lmo", Container({SlideChunk({Record("TMysteryObject", {})})}));
  EXPECT_EQ(Run("check " + Unregistered).Status, 1);
}

TEST_F(Lmotool, DamagedFilesEndWithTheirMessage) {
  const struct {
    const char* Name;
    Bytes File;
    const char* Message;
  } Cases[] = {
      {"short.lmo", Raw("PRSM"), "Keine CKS-Datei!"},
      {"magic.lmo", Cat({Raw("RIFF"), Bytes(40, 0)}), "Keine CKS-Datei!"},
      {"chunk.lmo", Container({Cat({Raw("CHNK"), I32(1), I32(4)})}), "Falscher Chunkheader!"},
      {"record.lmo", Container({Chunk(1, Cat({I32(1), Str("TPIPSound"), I32(2)}))}), "Stream-Lesefehler"},
      {"truncated.lmo", Container({Chunk(1, Cat({I32(1), Str("TPVPColorRect"), I32(8), Timing(0, 0)}))}), "Stream-Lesefehler"},
  };
  for (const auto& C : Cases) {
    const auto File = Write(C.Name, C.File);
    for (const char* Command : {"check", "dump", "info"}) {
      const RunResult R = Run(std::string(Command) + " " + File);
      EXPECT_EQ(R.Status, 2) << Command << " " << C.Name;
      EXPECT_NE(R.Err.find(C.Message), std::string::npos) << Command << " " << C.Name << ": " << R.Err;
      if (std::string(Command) == "dump") {
        EXPECT_TRUE(R.Out.empty()) << C.Name;
      }
    }
  }
  EXPECT_EQ(Run("check " + (Dir / "none.lmo").string()).Status, 2);
  EXPECT_EQ(Run("dump " + Dir.string()).Status, 2);
}

TEST_F(Lmotool, HelpAndVersion) {
  const RunResult Help = Run("--help");
  EXPECT_EQ(Help.Status, 0);
  for (const char* Sub : {"info", "check", "dump", "build"}) EXPECT_NE(Help.Out.find(Sub), std::string::npos) << Sub;
  const RunResult Version = Run("--version");
  EXPECT_EQ(Version.Status, 0);
  EXPECT_EQ(Version.Out.rfind("lmotool ", 0), 0u) << Version.Out;
  EXPECT_NE(Run("").Status, 0);
  EXPECT_NE(Run("frobnicate x").Status, 0);
}

}  // namespace
