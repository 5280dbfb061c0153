// Arts & Letters thumbnails (ged). No public description of the file layout
// could be found, so these files are recognised by extension only and are not
// decoded: loading one fails cleanly and the picture is not shown.
#include "Platform/Pictures/RareDecoders.h"

namespace platform {

std::unique_ptr<Picture> DecodeArtsLetters(std::span<const std::uint8_t>, const DecodeHints&) {
  throw PictureError("Arts-&-Letters-Format nicht unterstützt");
}

}  // namespace platform
