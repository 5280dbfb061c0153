#include "Platform/Pictures/RareDecoders.h"
namespace platform {
std::unique_ptr<Picture> DecodePaintShopPro(std::span<const std::uint8_t>, const DecodeHints&) {
  throw PictureError("Paint-Shop-Pro-Format nicht unterstützt");
}
}  // namespace platform
