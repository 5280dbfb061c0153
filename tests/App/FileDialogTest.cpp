// The open-file chooser, driven through a stand-in zenity on PATH.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Platform/App/FileDialog.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class EnvironmentValue {
public:
  EnvironmentValue(const char* Name, const char* Value) : Name_(Name) {
    if (const char* Old = std::getenv(Name)) Old_ = Old;
    if (Value) ::setenv(Name, Value, 1);
    else ::unsetenv(Name);
  }
  ~EnvironmentValue() {
    if (Old_) ::setenv(Name_.c_str(), Old_->c_str(), 1);
    else ::unsetenv(Name_.c_str());
  }
private:
  std::string Name_;
  std::optional<std::string> Old_;
};

class ChooserTest : public ::testing::Test {
protected:
  ChooserTest() {
    Dir = fs::temp_directory_path() / ("lmo-chooser-" + std::to_string(::getpid()));
    fs::remove_all(Dir);
    fs::create_directories(Dir / "bin");
    fs::create_directories(Dir / "run");
    std::ofstream(Dir / "Show.lmo") << "x";
    Options.Title = "Präsentation öffnen";
    Options.Filters = ParseFilterString(
        "Alle unterstützen Präsentationen|*.lmo|Lumora Präsentationen (*.LMO)|*.lmo|Alle Dateien|*.*");
    Options.DefaultExtension = "lmo";
    Options.InitialFolder = Dir.string();
  }
  ~ChooserTest() override { fs::remove_all(Dir); }

  // A zenity that records its arguments, prints Output and exits with Code.
  void StandInZenity(const std::string& Output, int Code) {
    const fs::path Script = Dir / "bin" / "zenity";
    std::ofstream(Script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << (Dir / "args").string()
                          << "'\nprintf '%s\\n' '" << Output << "'\nexit " << Code << "\n";
    fs::permissions(Script, fs::perms::owner_all);
  }
  std::string Arguments() {
    std::ifstream In(Dir / "args");
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
  }
  ChooserResult Choose() {
    // Only our stand-in can be found; no session bus, so no portal.
    EnvironmentValue Path("PATH", (Dir / "bin").c_str());
    EnvironmentValue Bus("DBUS_SESSION_BUS_ADDRESS", nullptr);
    EnvironmentValue Runtime("XDG_RUNTIME_DIR", (Dir / "run").c_str());
    EnvironmentValue Display("DISPLAY", ":99");
    return ChooseFileToOpen(Options);
  }

  fs::path Dir;
  OpenFileOptions Options;
};

using S = ChooserResult::Status;

TEST_F(ChooserTest, ZenityIsAskedWithTitleFiltersAndFolderAndItsChoiceReturned) {
  StandInZenity((Dir / "Show.lmo").string(), 0);
  const ChooserResult R = Choose();
  EXPECT_EQ(R.Outcome, S::Chosen);
  EXPECT_EQ(R.Path, (Dir / "Show.lmo").string());
  EXPECT_EQ(Arguments(), "--file-selection\n--title=Präsentation öffnen\n--filename=" + Dir.string() +
                             "/\n--file-filter=Alle unterstützen Präsentationen | *.lmo\n"
                             "--file-filter=Lumora Präsentationen (*.LMO) | *.lmo\n--file-filter=Alle Dateien | *.*\n");
}

TEST_F(ChooserTest, CancelDefaultExtensionAndNoChooser) {
  StandInZenity("", 1);
  EXPECT_EQ(Choose().Outcome, S::Cancelled);

  StandInZenity((Dir / "Show").string(), 0);  // typed without extension
  const ChooserResult R = Choose();
  EXPECT_EQ(R.Outcome, S::Chosen);
  EXPECT_EQ(R.Path, (Dir / "Show.lmo").string());

  StandInZenity("", 5);  // zenity failed (no display it could open)
  EXPECT_EQ(Choose().Outcome, S::Unavailable);

  fs::remove(Dir / "bin" / "zenity");
  EXPECT_EQ(Choose().Outcome, S::Unavailable);

  StandInZenity((Dir / "Show.lmo").string(), 0);
  EnvironmentValue NoX("DISPLAY", nullptr), NoWayland("WAYLAND_DISPLAY", nullptr);
  EnvironmentValue Path("PATH", (Dir / "bin").c_str());
  EXPECT_EQ(ChooseFileToOpen(Options).Outcome, S::Unavailable);
}

TEST(FilterString, SplitsNamesAndPatterns) {
  const auto F = ParseFilterString("Bilder|*.jpg;*.png|Alle|*.*|Rest");
  ASSERT_EQ(F.size(), 2u);
  EXPECT_EQ(F[0].Name, "Bilder");
  EXPECT_EQ(F[0].Patterns, (std::vector<std::string>{"*.jpg", "*.png"}));
  EXPECT_EQ(F[1].Patterns, (std::vector<std::string>{"*.*"}));
}

}  // namespace
}  // namespace platform
