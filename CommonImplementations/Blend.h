#pragma once
// How the pixels of a drawn bitmap combine with those beneath.
//
// The blend rule, with integer arithmetic (F the drawn pixel, B the pixel
// beneath, M the master alpha 0..255):
//   alpha of F is 0: B stays;
//   M = 255: an opaque F replaces B, otherwise a := alpha of F;
//   M < 255: a := ((M + 1) * alpha of F) div 256, and B stays when a is 0;
//   each channel, alpha included: (B * (256 - a) + F * a + 128) div 256.
// A cross-fade draws an opaque picture with M < 255, so its weight is
// ((M + 1) * 255) div 256: M = 0 leaves the picture beneath as it was.
#include <cstdint>

#include "Platform/Core/Types.h"

// Single pixels.
TColor32 BlendPixel(TColor32 F, TColor32 B, std::uint32_t MasterAlpha);
// The merge rule (cmMerge): F over B with both alphas taken into account, so
// that drawing onto a transparent pixel keeps F's colour.
TColor32 MergePixel(TColor32 F, TColor32 B, std::uint32_t MasterAlpha);

// B[i] := BlendPixel(F[i], B[i], M) for Count pixels.
void BlendLine(const TColor32* F, TColor32* B, std::int32_t Count, std::uint32_t MasterAlpha);
// Out[i] := BlendPixel(F[i], B[i], M); Out may be B.
void BlendLineTo(const TColor32* F, const TColor32* B, TColor32* Out, std::int32_t Count,
                 std::uint32_t MasterAlpha);
void MergeLine(const TColor32* F, TColor32* B, std::int32_t Count, std::uint32_t MasterAlpha);

// The vector paths of BlendLine can be switched off (false) to measure or to
// check them against the per-pixel rule.
void SetBlendVectorPaths(bool Enabled);
