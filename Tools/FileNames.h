#pragma once
// File-name parts of stored names. Stored media names are Windows paths
// ("C:\Bilder\Foto.JPG"); names of this system's own files use '/'. Both are
// split the same way: the folder part runs up to and including the last '\'
// or '/', or a drive colon ("C:" at the very start); the file name is the
// rest; the extension is the file name's last dot and what follows it.
// The functions work on bytes and suit both Windows-1252 and UTF-8 text.
#include <string>
#include <string_view>

// "C:\x\a.jpg" -> "C:\x\", "C:a.jpg" -> "C:", "a.jpg" -> "".
std::string StoredFolderPart(std::string_view Name);
// "C:\x\a.jpg" -> "a.jpg".
std::string StoredFileNamePart(std::string_view Name);
// "C:\x\a.tar.gz" -> ".gz", "C:\x.y\a" -> "".
std::string StoredFileExt(std::string_view Name);

// Name without its extension; unchanged when it has none.
std::string RemoveFileExt(std::string_view Name);

// The empty text stays empty; otherwise '/' is appended unless the text
// already ends in a delimiter ('/' or '\').
std::string IncludeTrailingDelimiter(std::string_view Path);
