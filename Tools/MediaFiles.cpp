#include "Tools/MediaFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "Platform/Core/Cp1252.h"
#include "Tools/FileNames.h"

std::string ProgramFolder = ExecutableFolder();
std::string PresentationFolder;

namespace {

bool HasNul(std::string_view Name) { return Name.find('\0') != std::string_view::npos; }

enum class EntryKind { Missing, Folder, File };

EntryKind KindOf(const std::string& Name) {
  struct stat Info {};
  if (Name.empty() || HasNul(Name) || ::stat(Name.c_str(), &Info) != 0) return EntryKind::Missing;
  return S_ISDIR(Info.st_mode) ? EntryKind::Folder : EntryKind::File;
}

bool ExistsAsFile(const std::string& Name) { return KindOf(Name) == EntryKind::File; }

// Length of the UTF-8 character starting at Text[I] (1 for a stray byte).
std::size_t CharLength(std::string_view Text, std::size_t I) {
  const auto Lead = static_cast<unsigned char>(Text[I]);
  std::size_t N = Lead < 0xC0 ? 1 : Lead < 0xE0 ? 2 : Lead < 0xF0 ? 3 : 4;
  return std::min(N, Text.size() - I);
}

// '*' matches any run of characters, '?' exactly one; all else literally.
bool WildcardMatch(std::string_view Pattern, std::string_view Text) {
  std::size_t P = 0, T = 0;
  std::size_t StarP = std::string_view::npos, StarT = 0;
  while (T < Text.size()) {
    if (P < Pattern.size() && Pattern[P] == '*') {
      StarP = P++;
      StarT = T;
    } else if (P < Pattern.size() && Pattern[P] == '?') {
      ++P;
      T += CharLength(Text, T);
    } else if (P < Pattern.size() && Pattern[P] == Text[T]) {
      ++P;
      ++T;
    } else if (StarP != std::string_view::npos) {
      P = StarP + 1;
      StarT += CharLength(Text, StarT);
      T = StarT;
    } else {
      return false;
    }
  }
  while (P < Pattern.size() && Pattern[P] == '*') ++P;
  return P == Pattern.size();
}

// Names of the entries of Folder ("" = the current folder), without "." and "..".
std::vector<std::string> EntryNames(const std::string& Folder) {
  std::vector<std::string> Names;
  std::error_code Error;
  std::filesystem::directory_iterator It(Folder.empty() ? "." : Folder, Error), End;
  for (; !Error && It != End; It.increment(Error)) Names.push_back(It->path().filename().string());
  return Names;
}

}  // namespace

std::string ExecutableFolder() {
  std::error_code Error;
  const std::filesystem::path Exe = std::filesystem::read_symlink("/proc/self/exe", Error);
  if (Error) return {};
  return IncludeTrailingDelimiter(Exe.parent_path().string());
}

void SetProgramFolder(std::string_view Folder) { ProgramFolder = IncludeTrailingDelimiter(Folder); }

std::string GetProgramDataFolder() {
  const char* Override = std::getenv("LMO_DATA_DIR");
  if (Override && *Override) return IncludeTrailingDelimiter(Override);
  return ProgramFolder + "Data/";
}

void SetPresentationFolder(std::string_view FileName) {
  if (FileName.empty()) {
    PresentationFolder.clear();
    return;
  }
  const std::string Folder = StoredFolderPart(FileName);
  PresentationFolder = Folder.empty() ? std::string("./") : IncludeTrailingDelimiter(Folder);
}

bool FileExistsNotFolder(std::string_view Name) {
  if (Name.empty() || HasNul(Name)) return false;
  const std::size_t Slash = Name.find_last_of('/');
  const std::string_view Pattern = Slash == std::string_view::npos ? Name : Name.substr(Slash + 1);
  if (Pattern.find_first_of("*?") == std::string_view::npos) return ExistsAsFile(std::string(Name));

  const std::string Folder(Slash == std::string_view::npos ? std::string_view() : Name.substr(0, Slash + 1));
  std::vector<std::string> Matches;
  for (std::string& Entry : EntryNames(Folder))
    if (WildcardMatch(Pattern, Entry)) Matches.push_back(std::move(Entry));
  std::sort(Matches.begin(), Matches.end());
  if (Matches.empty()) return false;
  const EntryKind First = KindOf(Folder + Matches[0]);
  if (First == EntryKind::File) return true;
  return Matches.size() > 1 && KindOf(Folder + Matches[1]) == EntryKind::File;
}

std::string ResolveMediaFile(std::string_view StoredName) {
  try {
    if (StoredName.empty() || HasNul(StoredName)) return {};
    const std::string Name = platform::Cp1252ToUtf8(StoredName);
    if (ExistsAsFile(Name)) return Name;
    if (PresentationFolder.empty()) return {};

    const std::string FilePart = StoredFileNamePart(StoredName);
    if (FilePart.empty()) return {};
    const std::string Candidate = PresentationFolder + platform::Cp1252ToUtf8(FilePart);
    if (ExistsAsFile(Candidate)) return Candidate;

    // Files copied from Windows often differ in case from the stored name.
    const std::string Wanted = platform::FoldCaseCp1252(FilePart);
    std::string Found;
    for (const std::string& Entry : EntryNames(PresentationFolder)) {
      std::string Entry1252;
      if (!platform::TryUtf8ToCp1252(Entry, Entry1252) || platform::FoldCaseCp1252(Entry1252) != Wanted)
        continue;
      if (!ExistsAsFile(PresentationFolder + Entry)) continue;
      if (!Found.empty()) return {};  // more than one: no guess
      Found = PresentationFolder + Entry;
    }
    return Found;
  } catch (...) {
    return {};
  }
}
