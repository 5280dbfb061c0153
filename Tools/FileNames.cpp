#include "Tools/FileNames.h"

namespace {

bool IsDriveLetter(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'); }

// Index just past the folder part.
std::size_t FileNameStart(std::string_view Name) {
  const std::size_t Slash = Name.find_last_of("\\/");
  if (Slash != std::string_view::npos) return Slash + 1;
  if (Name.size() >= 2 && Name[1] == ':' && IsDriveLetter(Name[0])) return 2;
  return 0;
}

// Index of the extension's dot, or npos.
std::size_t ExtensionStart(std::string_view Name) {
  const std::size_t Dot = Name.find_last_of('.');
  if (Dot == std::string_view::npos || Dot < FileNameStart(Name)) return std::string_view::npos;
  return Dot;
}

}  // namespace

std::string StoredFolderPart(std::string_view Name) { return std::string(Name.substr(0, FileNameStart(Name))); }

std::string StoredFileNamePart(std::string_view Name) { return std::string(Name.substr(FileNameStart(Name))); }

std::string StoredFileExt(std::string_view Name) {
  const std::size_t Dot = ExtensionStart(Name);
  return Dot == std::string_view::npos ? std::string() : std::string(Name.substr(Dot));
}

std::string RemoveFileExt(std::string_view Name) {
  const std::size_t Dot = ExtensionStart(Name);
  return std::string(Dot == std::string_view::npos ? Name : Name.substr(0, Dot));
}

std::string IncludeTrailingDelimiter(std::string_view Path) {
  std::string Result(Path);
  if (!Result.empty() && Result.back() != '/' && Result.back() != '\\') Result.push_back('/');
  return Result;
}
