#pragma once
// Helpers shared by the slide object classes' implementations.
#include <string>

#include "CKS/CKSStreamWinTypes.h"

// The program always reads and writes slide objects through a
// TCKSStreamWinTypes, which adds colours and fonts.
TCKSStreamWinTypes& AsWinTypes(TCKSStream& Stream);

// FileName moved into Folder: Folder with a trailing delimiter, then the file
// name part of FileName.
std::string MovedFileName(const std::string& FileName, const std::string& Folder);
// FileName re-pointed after a copy: its own folder part, then the file name
// part of NewName.
std::string CopiedFileName(const std::string& FileName, const std::string& NewName);
