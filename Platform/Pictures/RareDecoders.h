#pragma once
// Decoders of the rare picture formats: Windows metafiles (drawn as vectors),
// the embedded previews of EPS files, Autodesk Animator cels and pictures,
// Paint Shop Pro images, frames and tubes, and Arts & Letters thumbnails.
// Each fails with PictureError; none reads outside Bytes.
#include "Platform/Pictures/Picture.h"

#include <cstdint>
#include <memory>
#include <span>

namespace platform {

std::unique_ptr<Picture> DecodeWmf(std::span<const std::uint8_t> Bytes, const DecodeHints& Hints);
std::unique_ptr<Picture> DecodeEmf(std::span<const std::uint8_t> Bytes, const DecodeHints& Hints);
std::unique_ptr<Picture> DecodeEps(std::span<const std::uint8_t> Bytes, const DecodeHints& Hints);
std::unique_ptr<Picture> DecodeAutodesk(std::span<const std::uint8_t> Bytes, const DecodeHints& Hints);
std::unique_ptr<Picture> DecodePaintShopPro(std::span<const std::uint8_t> Bytes, const DecodeHints& Hints);
std::unique_ptr<Picture> DecodeArtsLetters(std::span<const std::uint8_t> Bytes, const DecodeHints& Hints);

}  // namespace platform
