#pragma once
// The first frame of an Autodesk animation (the layout Animator Pro also
// uses for its cels), as a raster picture.
#include "Platform/Pictures/Picture.h"

#include <cstdint>
#include <memory>
#include <span>

namespace platform {

std::unique_ptr<Picture> DecodeFlicFirstFrame(std::span<const std::uint8_t> Bytes);

}  // namespace platform
