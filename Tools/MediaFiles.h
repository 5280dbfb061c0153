#pragma once
// The program's folders and the resolution of media file names stored in a
// presentation.
//
// Encodings: ProgramFolder, PresentationFolder and every name handed to or
// returned from the file system here are UTF-8 paths of this machine. Stored
// media names are Windows-1252 text as read from the file; ResolveMediaFile
// converts them.
#include <string>
#include <string_view>

// The folder of the running executable, with a trailing '/'. Set when the
// program starts; lmotool and tests may point it elsewhere (SetProgramFolder).
extern std::string ProgramFolder;
// The folder of the loaded presentation with a trailing delimiter, or empty
// while none is loaded.
extern std::string PresentationFolder;

// The folder of /proc/self/exe with a trailing '/' (empty if unreadable).
std::string ExecutableFolder();
// ProgramFolder := IncludeTrailingDelimiter(Folder).
void SetProgramFolder(std::string_view Folder);

// ProgramFolder + "Data/": the mask pictures and the typewriter sound. When
// the environment variable LMO_DATA_DIR is set and not empty, that folder
// (with a trailing '/') instead, so tests and tools run from a build tree
// find the data. Nothing is created.
std::string GetProgramDataFolder();

// PresentationFolder := IncludeTrailingDelimiter(folder part of FileName).
// FileName is the presentation's path as the file system knows it. A bare
// file name (no folder part) means the current folder and gives "./", so that
// `lmoplayer show.lmo` finds the media beside the show; the empty name gives
// the empty folder.
void SetPresentationFolder(std::string_view FileName);

// True when the entries matching Name include a file that is not a folder,
// judged as the platform's file search does: the first match (matches in
// byte order of their names) is not a folder, or it is and a second match
// exists that is not. The file name part may hold the wildcards '*' (any
// run of characters) and '?' (one character); the folder part is literal.
// False when nothing matches, for the empty name, and for names with a NUL.
bool FileExistsNotFolder(std::string_view Name);

// The file on this machine for a stored media name, or "" when the medium is
// missing (never an error):
//  1. the stored name converted to UTF-8, if a file (not a folder) of that
//     name exists; otherwise, when PresentationFolder is set,
//  2. PresentationFolder + the stored name's file name part, if it exists;
//  3. otherwise the one file in PresentationFolder whose name equals that file
//     name ignoring case (Windows-1252 case folding), when exactly one does.
// Stored names are taken literally: wildcard characters and backslashes are
// ordinary characters of the name here, and a name holding a NUL is missing.
std::string ResolveMediaFile(std::string_view StoredName);
