#pragma once
// File tools for exporting an object's media: numbered free names, deciding
// whether two names hold the same file, and copying with progress reports.
// Names are paths of this machine (UTF-8).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The next name in a numbered series: pic.jpg -> pic0001.jpg -> pic0002.jpg;
// song0009.wav -> song0010.wav; a9999.wav -> a10000.wav. When MaxLength is not
// 0, the file name part (base and extension) is first cut to at most
// MaxLength - 4 characters by shortening the base. Only four trailing decimal
// digits count as a number (a sign or other text there is part of the base).
std::string NextNumberedFileName(std::string_view Name, std::int32_t MaxLength);

// Whether A and B hold the same file. Identical names: whether A exists.
// Otherwise both must exist and, if CompareAlways is set or their file name
// parts are equal ignoring ASCII case, have the same modification time and
// mode; then their contents decide (over the length of A; bytes of B beyond
// it are not compared). Two names of one file (same device and inode) are
// the same file. Every failure answers false.
bool SameFile(std::string_view A, std::string_view B, bool CompareAlways);

// Percent copied (0..100), or -1 when the copy has ended.
using TCopyProgress = std::function<void(std::int32_t Percent)>;

// Copies Source to Target, replacing Target, and gives Target Source's
// modification time and permission bits. Progress (may be empty) hears 0
// first, then the rounded percentage after each block of 65535 bytes (halves
// to even), and -1 last; its exceptions are ignored. The user interface
// processes messages after each block. Answers false on any failure; a
// partly written Target is removed, a Target that could not be created is
// left as it was. Source and Target naming the same file (the same text, or
// the same device and inode) answer true without touching it.
bool CopyFileWithProgress(std::string_view Source, std::string_view Target, const TCopyProgress& Progress);
