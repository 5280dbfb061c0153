#include "Transitions/BoxPicTransition.h"

#include "CommonImplementations/Bitmap32.h"
#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/Pictures/Picture.h"
#include "Tools/FileNames.h"
#include "Transitions/Rounding.h"

std::vector<std::string> TTPBoxPicTransitionClass::UsedFilenames() const {
  const std::string Path = PicFilename();
  if (Path.empty()) return {};
  return {StoredFileNamePart(Path)};
}

void TTPBoxPicTransition::InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target,
                                         platform::PaintDevice& ACanvas) {
  TTPBoxTransition::InitTransition(ARect, Source, Target, ACanvas);
  BuildTiles(200, 200);
  const std::unique_ptr<TBitmap32> Mask = GetBitmap();
  if (Mask) SetCountersFromMask(*Mask);
}

std::unique_ptr<TBitmap32> TTPBoxPicTransition::GetBitmap() {
  try {
    const std::string Path = PicFilename();
    if (Path.empty()) return nullptr;
    const std::unique_ptr<platform::Picture> Picture = platform::LoadPictureFile(Path);
    return BitmapFromPicture(*Picture);
  } catch (...) {
    // A missing, unreadable or undecodable mask is no mask.
    return nullptr;
  }
}

void TTPBoxPicTransition::SetCountersFromMask(const TBitmap32& Mask) {
  const double MaskW = Mask.Width(), MaskH = Mask.Height();
  // The sample columns are the same for every row. (c + 1) * width is
  // formed first, so an exact half stays exact and rounds to even.
  std::vector<std::int32_t> SampleX(static_cast<std::size_t>(Cols_));
  for (std::int32_t C = 0; C < Cols_; ++C)
    SampleX[static_cast<std::size_t>(C)] = static_cast<std::int32_t>(RoundHalfEven((C + 1) * MaskW / Cols_) - 1);
  TBoxTile* T = Tiles_.data();
  for (std::int32_t R = 0; R < Rows_; ++R) {
    const auto Y = static_cast<std::int32_t>(RoundHalfEven((R + 1) * MaskH / Rows_) - 1);
    for (std::int32_t C = 0; C < Cols_; ++C, ++T) {
      const auto V = static_cast<std::int32_t>(Mask.PixelOrOuter(SampleX[static_cast<std::size_t>(C)], Y) & 0xFFu);
      T->RevealW = -V;
      T->RevealH = -V;
    }
  }
}
