#include "Tools/FileCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "Platform/Core/Cp1252.h"
#include "Platform/Core/Hooks.h"
#include "Tools/FileNames.h"

namespace {

constexpr std::size_t BlockSize = 65535;

// A POSIX file descriptor closed on scope exit.
class FileHandle {
public:
  explicit FileHandle(int Fd = -1) : Fd_(Fd) {}
  ~FileHandle() {
    if (Fd_ >= 0) ::close(Fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int Get() const { return Fd_; }
  bool Valid() const { return Fd_ >= 0; }
  // Closes now and reports whether the close succeeded (write-back errors).
  bool Close() {
    const int Fd = Fd_;
    Fd_ = -1;
    return Fd < 0 || ::close(Fd) == 0;
  }

private:
  int Fd_;
};

bool ValidName(std::string_view Name) { return !Name.empty() && Name.find('\0') == std::string_view::npos; }

bool StatFile(const std::string& Name, struct stat& Info) {
  return ::stat(Name.c_str(), &Info) == 0 && !S_ISDIR(Info.st_mode);
}

bool SameInode(const struct stat& A, const struct stat& B) { return A.st_dev == B.st_dev && A.st_ino == B.st_ino; }

// Reads up to Count bytes, retrying interrupted and short reads; -1 on error.
ssize_t ReadFully(int Fd, char* Buffer, std::size_t Count) {
  std::size_t Done = 0;
  while (Done < Count) {
    const ssize_t N = ::read(Fd, Buffer + Done, Count - Done);
    if (N < 0 && errno == EINTR) continue;
    if (N < 0) return -1;
    if (N == 0) break;
    Done += static_cast<std::size_t>(N);
  }
  return static_cast<ssize_t>(Done);
}

bool WriteFully(int Fd, const char* Buffer, std::size_t Count) {
  std::size_t Done = 0;
  while (Done < Count) {
    const ssize_t N = ::write(Fd, Buffer + Done, Count - Done);
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) return false;
    Done += static_cast<std::size_t>(N);
  }
  return true;
}

bool SameContents(const std::string& A, const std::string& B, std::int64_t LengthOfA) {
  FileHandle FA(::open(A.c_str(), O_RDONLY | O_CLOEXEC));
  FileHandle FB(::open(B.c_str(), O_RDONLY | O_CLOEXEC));
  if (!FA.Valid() || !FB.Valid()) return false;
  std::vector<char> BufA(BlockSize), BufB(BlockSize);
  std::int64_t Left = LengthOfA;
  while (Left > 0) {
    const std::size_t Want = static_cast<std::size_t>(std::min<std::int64_t>(Left, BlockSize));
    if (ReadFully(FA.Get(), BufA.data(), Want) != static_cast<ssize_t>(Want)) return false;
    if (ReadFully(FB.Get(), BufB.data(), Want) != static_cast<ssize_t>(Want)) return false;  // B shorter
    if (!std::equal(BufA.begin(), BufA.begin() + static_cast<std::ptrdiff_t>(Want), BufB.begin())) return false;
    Left -= static_cast<std::int64_t>(Want);
  }
  return true;
}

void Report(const TCopyProgress& Progress, std::int32_t Percent) {
  if (!Progress) return;
  try {
    Progress(Percent);
  } catch (...) {
  }
}

}  // namespace

std::string NextNumberedFileName(std::string_view Name, std::int32_t MaxLength) {
  std::string Folder = StoredFolderPart(Name);
  std::string Ext = StoredFileExt(Name);
  std::string Base = RemoveFileExt(StoredFileNamePart(Name));

  if (MaxLength != 0) {
    // Count characters, not bytes, and never cut inside a UTF-8 sequence.
    auto Chars = [](std::string_view Text) {
      std::size_t N = 0;
      for (char C : Text) N += (static_cast<unsigned char>(C) & 0xC0) != 0x80;
      return N;
    };
    const std::int64_t Limit = std::int64_t{MaxLength} - 4;
    const std::int64_t BaseLimit = std::max<std::int64_t>(0, Limit - static_cast<std::int64_t>(Chars(Ext)));
    while (static_cast<std::int64_t>(Chars(Base)) > BaseLimit) {
      std::size_t Cut = Base.size() - 1;
      while (Cut > 0 && (static_cast<unsigned char>(Base[Cut]) & 0xC0) == 0x80) --Cut;
      Base.erase(Cut);
    }
  }

  std::string Stem = Folder + Base;
  std::int64_t Number = 0;
  if (Stem.size() > 4) {
    const std::string_view Tail = std::string_view(Stem).substr(Stem.size() - 4);
    if (Tail.find_first_not_of("0123456789") == std::string_view::npos) {
      Number = std::stoll(std::string(Tail));
      Stem.erase(Stem.size() - 4);
    }
  }
  char Digits[24];
  std::snprintf(Digits, sizeof Digits, "%04lld", static_cast<long long>(Number + 1));
  return Stem + Digits + Ext;
}

bool SameFile(std::string_view A, std::string_view B, bool CompareAlways) {
  if (!ValidName(A) || !ValidName(B)) return false;
  const std::string NameA(A), NameB(B);
  struct stat InfoA {}, InfoB {};
  if (NameA == NameB) return StatFile(NameA, InfoA);
  if (!StatFile(NameA, InfoA) || !StatFile(NameB, InfoB)) return false;
  // Names differing only in case are different files on this file system,
  // unless they lead to the same inode.
  if (SameInode(InfoA, InfoB)) return true;
  if (!CompareAlways && !platform::SameTextAscii(StoredFileNamePart(A), StoredFileNamePart(B))) return false;
  if (InfoA.st_mtim.tv_sec != InfoB.st_mtim.tv_sec || InfoA.st_mtim.tv_nsec != InfoB.st_mtim.tv_nsec ||
      InfoA.st_mode != InfoB.st_mode)
    return false;
  return SameContents(NameA, NameB, InfoA.st_size);
}

bool CopyFileWithProgress(std::string_view Source, std::string_view Target, const TCopyProgress& Progress) {
  if (Source == Target) return true;
  if (!ValidName(Source) || !ValidName(Target)) return false;
  const std::string SourceName(Source), TargetName(Target);

  Report(Progress, 0);
  bool Ok = false;
  {
    FileHandle In(::open(SourceName.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat Info {};
    struct stat TargetInfo {};
    if (In.Valid() && ::fstat(In.Get(), &Info) == 0 && !S_ISDIR(Info.st_mode)) {
      if (::stat(TargetName.c_str(), &TargetInfo) == 0 && SameInode(Info, TargetInfo)) {
        // Truncating Target would destroy Source.
        Ok = true;
      } else {
        FileHandle Out(::open(TargetName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (Out.Valid()) {
          Ok = true;
          const std::int64_t Size = Info.st_size;
          std::vector<char> Buffer(BlockSize);
          std::int64_t Copied = 0;
          while (Ok && Copied < Size) {
            const std::size_t Want = static_cast<std::size_t>(std::min<std::int64_t>(Size - Copied, BlockSize));
            Ok = ReadFully(In.Get(), Buffer.data(), Want) == static_cast<ssize_t>(Want) &&
                 WriteFully(Out.Get(), Buffer.data(), Want);
            if (!Ok) break;
            Copied += static_cast<std::int64_t>(Want);
            Report(Progress, static_cast<std::int32_t>(std::nearbyint(double(Copied) / double(Size) * 100.0)));
            platform::ProcessMessages();
          }
          if (Ok) {
            const struct timespec Times[2] = {{0, UTIME_OMIT}, Info.st_mtim};
            Ok = ::futimens(Out.Get(), Times) == 0;
          }
          Ok = Out.Close() && Ok;
          if (Ok) Ok = ::chmod(TargetName.c_str(), Info.st_mode & 07777) == 0;
          if (!Ok) ::unlink(TargetName.c_str());
        }
      }
    }
  }
  Report(Progress, -1);
  return Ok;
}
