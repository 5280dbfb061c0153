#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents at the end of the test.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempFolder {
public:
  TempFolder() {
    std::string Pattern = (std::filesystem::temp_directory_path() / "lmo-tools-XXXXXX").string();
    if (!::mkdtemp(Pattern.data())) std::abort();
    Path_ = Pattern + "/";
  }
  ~TempFolder() {
    std::error_code Ignored;
    std::filesystem::remove_all(Path_, Ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing '/'.
  const std::string& Path() const { return Path_; }

  // Creates Name (relative, UTF-8) holding Contents; answers the full path.
  std::string File(const std::string& Name, const std::string& Contents = "x") const {
    std::ofstream(Path_ + Name, std::ios::binary) << Contents;
    return Path_ + Name;
  }
  std::string Folder(const std::string& Name) const {
    std::filesystem::create_directories(Path_ + Name);
    return Path_ + Name;
  }

private:
  std::string Path_;
};
