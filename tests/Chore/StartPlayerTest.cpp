// Choosing the presentation file and handing it to the player window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "CKS/CKSTypes.h"
#include "Chore/StartPlayer.h"
#include "Slides/Slides.h"
#include "tests/Slides/PresentationBytes.h"

using namespace testbytes;

namespace {

class RecordingHost final : public TPlayerHost {
public:
  std::string SelectPresentationFile() override {
    ++Dialogs;
    return DialogAnswer;
  }
  void ShowMessage(const std::string& Text) override { Messages.push_back(Text); }
  void ShowPlayerWindow(TSlides& Slides) override {
    Played.push_back(Slides.FileName);
    SlideCounts.push_back(Slides.Count());
  }
  std::string DialogAnswer;
  int Dialogs = 0;
  std::vector<std::string> Messages;
  std::vector<std::string> Played;
  std::vector<int> SlideCounts;
};

class StartPlayer : public ::testing::Test {
protected:
  void SetUp() override {
    Dir = std::filesystem::temp_directory_path() / ("lmo-start-" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }
  std::string Write(const std::string& Name, const Bytes& Content) {
    const auto Path = (Dir / Name).string();
    std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(Content.data()), std::streamsize(Content.size()));
    return Path;
  }
  std::filesystem::path Dir;
  RecordingHost Host;
};

TEST_F(StartPlayer, FirstArgumentIsPlayedAndTheRestIgnored) {
  const auto Show = Write("show.lmo", Container({SlideChunk({}), SlideChunk({})}));
  StartPresentationPlayer({Show, "/no/such/second.lmo", "--what"}, Host);
  EXPECT_EQ(Host.Played, (std::vector<std::string>{Show}));
  EXPECT_EQ(Host.SlideCounts, (std::vector<int>{2}));
  EXPECT_EQ(Host.Dialogs, 0);
  EXPECT_TRUE(Host.Messages.empty());
}

TEST_F(StartPlayer, FolderOrMissingFileGivesTheMessageWithoutDialog) {
  const std::string Folder = Dir.string();
  const std::string Missing = (Dir / "fehlt.lmo").string();
  StartPresentationPlayer({Folder}, Host);
  StartPresentationPlayer({Missing}, Host);
  EXPECT_EQ(Host.Messages, (std::vector<std::string>{"Datei \"" + Folder + "\" nicht gefunden!",
                                                     "Datei \"" + Missing + "\" nicht gefunden!"}));
  EXPECT_EQ(Host.Dialogs, 0);
  EXPECT_TRUE(Host.Played.empty());
}

TEST_F(StartPlayer, WithoutArgumentTheDialogChooses) {
  StartPresentationPlayer({}, Host);  // cancelled
  EXPECT_EQ(Host.Dialogs, 1);
  EXPECT_TRUE(Host.Messages.empty());
  EXPECT_TRUE(Host.Played.empty());
  Host.DialogAnswer = Write("chosen.lmo", Container({}));
  StartPresentationPlayer({""}, Host);  // an empty first argument counts as none
  EXPECT_EQ(Host.Dialogs, 2);
  EXPECT_EQ(Host.Played, (std::vector<std::string>{Host.DialogAnswer}));
}

TEST_F(StartPlayer, LoadingErrorPropagatesWithoutWindow) {
  const auto Broken = Write("broken.lmo", Cat({Raw("MSRP"), Bytes(28, 0)}));
  const auto Damaged = Write("damaged.lmo", Container({Cat({Raw("CHNX"), I32(1), I32(12)})}));
  EXPECT_THROW(StartPresentationPlayer({Broken}, Host), std::exception);
  try {
    StartPresentationPlayer({Damaged}, Host);
    ADD_FAILURE() << "no error";
  } catch (const ECKSError& E) {
    EXPECT_STREQ(E.what(), "Falscher Chunkheader!");
  }
  EXPECT_TRUE(Host.Played.empty());
}

TEST_F(StartPlayer, OtherFileTypeOpensTheWindowWithoutSlides) {
  const auto Other = Write("other.lmo", Container({SlideChunk({})}, 42));
  StartPresentationPlayer({Other}, Host);
  EXPECT_EQ(Host.SlideCounts, (std::vector<int>{0}));
}

}  // namespace
