#include "CommonImplementations/Blend.h"

#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LMO_X86 1
#endif

namespace {

std::atomic<bool> VectorPaths{true};

// The weight of F: 0..256, where 256 (only for M = 255 and an opaque F)
// makes the channel formula give F exactly.
inline std::uint32_t WeightOf(std::uint32_t FAlpha, std::uint32_t M) {
  if (M >= 255) return FAlpha == 255 ? 256 : FAlpha;
  return ((M + 1) * FAlpha) >> 8;
}

inline TColor32 BlendWeighted(TColor32 F, TColor32 B, std::uint32_t A) {
  if (A == 0) return B;
  if (A == 256) return F;
  const std::uint32_t Ai = 256 - A;
  // Two channels at a time in 16-bit fields: (B * (256 - a) + F * a + 128) / 256.
  const std::uint32_t Rb = ((B & 0x00FF00FFu) * Ai + (F & 0x00FF00FFu) * A + 0x00800080u) >> 8;
  const std::uint32_t Ag = (((B >> 8) & 0x00FF00FFu) * Ai + ((F >> 8) & 0x00FF00FFu) * A + 0x00800080u);
  return (Rb & 0x00FF00FFu) | (Ag & 0xFF00FF00u);
}

void BlendScalar(const TColor32* F, const TColor32* B, TColor32* Out, std::int32_t Count, std::uint32_t M) {
  for (std::int32_t I = 0; I < Count; ++I) Out[I] = BlendWeighted(F[I], B[I], WeightOf(F[I] >> 24, M));
}

#if LMO_X86
// Four pixels: weights per pixel in 32-bit lanes.
inline __m128i Weights4(__m128i F, std::uint32_t M) {
  const __m128i Fa = _mm_srli_epi32(F, 24);
  if (M >= 255) return _mm_sub_epi32(Fa, _mm_cmpeq_epi32(Fa, _mm_set1_epi32(255)));
  return _mm_srli_epi32(_mm_mullo_epi16(Fa, _mm_set1_epi32(static_cast<int>(M + 1))), 8);
}

inline __m128i BlendHalf(__m128i F16, __m128i B16, __m128i A16) {
  const __m128i Ai = _mm_sub_epi16(_mm_set1_epi16(256), A16);
  const __m128i Sum = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(B16, Ai), _mm_mullo_epi16(F16, A16)),
                                    _mm_set1_epi16(128));
  return _mm_srli_epi16(Sum, 8);
}

void BlendSse2(const TColor32* F, const TColor32* B, TColor32* Out, std::int32_t Count, std::uint32_t M) {
  const __m128i Zero = _mm_setzero_si128();
  std::int32_t I = 0;
  for (; I + 4 <= Count; I += 4) {
    const __m128i Fv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(F + I));
    const __m128i Bv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(B + I));
    const __m128i A = Weights4(Fv, M);
    const __m128i A2 = _mm_or_si128(A, _mm_slli_epi32(A, 16));  // weight in both 16-bit halves
    const __m128i Lo = BlendHalf(_mm_unpacklo_epi8(Fv, Zero), _mm_unpacklo_epi8(Bv, Zero), _mm_unpacklo_epi32(A2, A2));
    const __m128i Hi = BlendHalf(_mm_unpackhi_epi8(Fv, Zero), _mm_unpackhi_epi8(Bv, Zero), _mm_unpackhi_epi32(A2, A2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + I), _mm_packus_epi16(Lo, Hi));
  }
  BlendScalar(F + I, B + I, Out + I, Count - I, M);
}

__attribute__((target("avx2"))) inline __m256i BlendHalf8(__m256i F16, __m256i B16, __m256i A16) {
  const __m256i Ai = _mm256_sub_epi16(_mm256_set1_epi16(256), A16);
  const __m256i Sum = _mm256_add_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(B16, Ai), _mm256_mullo_epi16(F16, A16)), _mm256_set1_epi16(128));
  return _mm256_srli_epi16(Sum, 8);
}

__attribute__((target("avx2"))) void BlendAvx2(const TColor32* F, const TColor32* B, TColor32* Out,
                                                std::int32_t Count, std::uint32_t M) {
  const __m256i Zero = _mm256_setzero_si256();
  const __m256i Opaque = _mm256_set1_epi32(255);
  const __m256i Master = _mm256_set1_epi32(static_cast<int>(M + 1));
  std::int32_t I = 0;
  for (; I + 8 <= Count; I += 8) {
    const __m256i Fv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(F + I));
    const __m256i Bv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(B + I));
    const __m256i Fa = _mm256_srli_epi32(Fv, 24);
    const __m256i A = M >= 255 ? _mm256_sub_epi32(Fa, _mm256_cmpeq_epi32(Fa, Opaque))
                               : _mm256_srli_epi32(_mm256_mullo_epi16(Fa, Master), 8);
    const __m256i A2 = _mm256_or_si256(A, _mm256_slli_epi32(A, 16));
    // The unpacks and the pack work within 128-bit lanes alike, so pixel
    // order is kept.
    const __m256i Lo = BlendHalf8(_mm256_unpacklo_epi8(Fv, Zero), _mm256_unpacklo_epi8(Bv, Zero),
                                  _mm256_unpacklo_epi32(A2, A2));
    const __m256i Hi = BlendHalf8(_mm256_unpackhi_epi8(Fv, Zero), _mm256_unpackhi_epi8(Bv, Zero),
                                  _mm256_unpackhi_epi32(A2, A2));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + I), _mm256_packus_epi16(Lo, Hi));
  }
  BlendSse2(F + I, B + I, Out + I, Count - I, M);
}

bool HasAvx2() {
  static const bool Has = __builtin_cpu_supports("avx2");
  return Has;
}
#endif

void BlendAny(const TColor32* F, const TColor32* B, TColor32* Out, std::int32_t Count, std::uint32_t M) {
  if (Count <= 0) return;
  if (M > 255) M = 255;
#if LMO_X86
  if (VectorPaths.load(std::memory_order_relaxed)) {
    if (HasAvx2())
      BlendAvx2(F, B, Out, Count, M);
    else
      BlendSse2(F, B, Out, Count, M);
    return;
  }
#endif
  BlendScalar(F, B, Out, Count, M);
}

}  // namespace

TColor32 BlendPixel(TColor32 F, TColor32 B, std::uint32_t MasterAlpha) {
  return BlendWeighted(F, B, WeightOf(F >> 24, MasterAlpha > 255 ? 255 : MasterAlpha));
}

TColor32 MergePixel(TColor32 F, TColor32 B, std::uint32_t MasterAlpha) {
  std::uint32_t Fa = F >> 24;
  if (MasterAlpha < 255) Fa = ((MasterAlpha + 1) * Fa) >> 8;
  if (Fa == 0) return B;
  const std::uint32_t Ba = B >> 24;
  if (Fa == 255 || Ba == 0) return (F & 0x00FFFFFFu) | (Fa << 24);
  // Straight-alpha "over": Ra = Fa + Ba (1 - Fa), colour weighted by the
  // share each pixel contributes to Ra.
  const std::uint32_t Bw = Ba * (255 - Fa);       // B's share, scaled by 255
  const std::uint32_t Fw = Fa * 255;              // F's share, scaled by 255
  const std::uint32_t Total = Fw + Bw;            // Ra * 255
  const std::uint32_t Ra = (Total + 127) / 255;
  TColor32 Result = Ra << 24;
  for (int C = 0; C < 3; ++C) {
    const std::uint32_t Fc = (F >> (8 * C)) & 0xFF;
    const std::uint32_t Bc = (B >> (8 * C)) & 0xFF;
    const std::uint32_t V = (Fc * Fw + Bc * Bw + Total / 2) / Total;
    Result |= V << (8 * C);
  }
  return Result;
}

void BlendLine(const TColor32* F, TColor32* B, std::int32_t Count, std::uint32_t MasterAlpha) {
  BlendAny(F, B, B, Count, MasterAlpha);
}

void BlendLineTo(const TColor32* F, const TColor32* B, TColor32* Out, std::int32_t Count,
                 std::uint32_t MasterAlpha) {
  BlendAny(F, B, Out, Count, MasterAlpha);
}

void MergeLine(const TColor32* F, TColor32* B, std::int32_t Count, std::uint32_t MasterAlpha) {
  for (std::int32_t I = 0; I < Count; ++I) B[I] = MergePixel(F[I], B[I], MasterAlpha);
}

void SetBlendVectorPaths(bool Enabled) { VectorPaths = Enabled; }
