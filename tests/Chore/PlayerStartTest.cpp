// lmoplayer's start-up as a program: the file from the command line or the
// chooser (a stand-in zenity on PATH), the "not found" message, loading
// errors, and the usage when no chooser can be shown.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class PlayerStart : public ::testing::Test {
protected:
  void SetUp() override {
    Dir_ = fs::temp_directory_path() / ("lmo-start-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir_);
    fs::create_directories(Dir_ / "bin");
  }
  void TearDown() override { fs::remove_all(Dir_); }

  // A zenity that notes its arguments and answers with Answer (exit 0), or
  // cancels (exit 1) when Answer is empty.
  void FakeZenity(const std::string& Answer) {
    const fs::path Script = Dir_ / "bin" / "zenity";
    std::ofstream(Script) << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" << (Dir_ / "zenity-args").string()
                          << "'\n"
                          << (Answer.empty() ? "exit 1\n" : "echo '" + Answer + "'\n");
    fs::permissions(Script, fs::perms::owner_all);
  }
  // Runs lmoplayer with Arguments in an environment without a desktop
  // portal; Display empty means none. Answers the exit status.
  int Run(const std::string& Arguments, const std::string& Display) {
    const std::string Env = "env -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR -u WAYLAND_DISPLAY " +
                            (Display.empty() ? std::string("-u DISPLAY ") : "DISPLAY=" + Display + " ") +
                            "SDL_VIDEODRIVER=x11 PATH='" + (Dir_ / "bin").string() + ":/usr/bin:/bin' ";
    const std::string Command = Env + LMOPLAYER_PATH + " " + Arguments + " >/dev/null 2>'" + (Dir_ / "err").string() + "'";
    const int Status = std::system(Command.c_str());
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
  }
  std::string Read(const std::string& Name) {
    std::ifstream In(Dir_ / Name);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  }

  fs::path Dir_;
};

// A display name no X server answers: the chooser is "there", windows and
// message boxes are not.
constexpr const char* DeadDisplay = ":87";

TEST_F(PlayerStart, TheChosenFileThatDoesNotExistIsReported) {
  FakeZenity("/no/such/show.lmo");
  EXPECT_EQ(Run("", DeadDisplay), 0);
  EXPECT_NE(Read("err").find("Datei \"/no/such/show.lmo\" nicht gefunden!"), std::string::npos) << Read("err");
  const std::string Args = Read("zenity-args");
  EXPECT_NE(Args.find("--title=Pr\xC3\xA4sentation \xC3\xB6" "ffnen"), std::string::npos) << Args;
  EXPECT_NE(Args.find("Alle unterst\xC3\xBCtzen Pr\xC3\xA4sentationen"), std::string::npos) << Args;
  EXPECT_NE(Args.find("Alle Dateien"), std::string::npos) << Args;
}

TEST_F(PlayerStart, CancellingTheChooserEndsSilently) {
  FakeZenity("");
  EXPECT_EQ(Run("", DeadDisplay), 0);
  EXPECT_EQ(Read("err"), "");
}

TEST_F(PlayerStart, WithoutAnyChooserTheUsageIsShown) {
  EXPECT_EQ(Run("", ""), 2);
  EXPECT_NE(Read("err").find("usage: lmoplayer [FILE]"), std::string::npos) << Read("err");
}

TEST_F(PlayerStart, OnlyTheFirstArgumentCountsAndAFolderIsNotAFile) {
  FakeZenity("/never/asked.lmo");
  EXPECT_EQ(Run("'" + Dir_.string() + "' second third", DeadDisplay), 0);
  EXPECT_NE(Read("err").find("Datei \"" + Dir_.string() + "\" nicht gefunden!"), std::string::npos) << Read("err");
  EXPECT_FALSE(fs::exists(Dir_ / "zenity-args"));
}

TEST_F(PlayerStart, ALoadingErrorEndsWithStatusOneAndNoWindow) {
  std::ofstream(Dir_ / "broken.lmo") << "this is not a presentation";
  EXPECT_EQ(Run("'" + (Dir_ / "broken.lmo").string() + "'", ""), 1);
  EXPECT_NE(Read("err").find("Keine CKS-Datei!"), std::string::npos) << Read("err");
}

}  // namespace
