#pragma once
// A small piece of vector clip art written as a placeable Windows metafile.

#include <string>

namespace datagen {

void WriteFlowerPotMetafile(const std::string& path);

}  // namespace datagen
