#include "Transitions/BoxTransition.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "CommonImplementations/Bitmap32.h"
#include "Platform/Core/PaintDevice.h"

TTPBoxTransition::TTPBoxTransition() { SetStepInterval(20); }

void TTPBoxTransition::InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target,
                                      platform::PaintDevice& ACanvas) {
  TTransitionPlugin::InitTransition(ARect, Source, Target, ACanvas);
  AllRevealed_ = false;
  Planned_ = false;
}

void TTPBoxTransition::ResetTransition() {
  TTransitionPlugin::ResetTransition();
  Tiles_.clear();
  Tiles_.shrink_to_fit();
  Cols_ = 0;
  Rows_ = 0;
  Planned_ = false;
  for (auto* List : {&Growing_, &Woken_, &Merged_}) {
    List->clear();
    List->shrink_to_fit();
  }
  Sleeping_.clear();
  Sleeping_.shrink_to_fit();
}

void TTPBoxTransition::Step() {
  ++StepCount_;
  GrowTiles();
}

void TTPBoxTransition::BuildTiles(std::int32_t Columns, std::int32_t RowsWanted) {
  Planned_ = false;
  Tiles_.clear();
  Cols_ = 0;
  Rows_ = 0;
  const std::int64_t W = std::int64_t{Rect_.Right} - Rect_.Left;
  const std::int64_t H = std::int64_t{Rect_.Bottom} - Rect_.Top;
  // A rectangle without area has no tiles (a reversed one included, whose
  // negative column and row counts would otherwise multiply to a table).
  if (W <= 0 || H <= 0) return;

  std::int64_t Sx, Sy;
  if (Columns == 0) {
    // Wide rectangles round the tile size down, tall and square ones up.
    if (H < W) {
      Sx = std::max<std::int64_t>(W / 10, 1);
      Sy = Sx;
    } else {
      Sy = std::max<std::int64_t>(H / 10, 1);
      if (Sy * 10 < H) ++Sy;
      Sx = Sy;
    }
  } else if (W > H) {
    Sx = std::max<std::int64_t>(W / Columns, 1);
    Sy = Sx;
  } else {
    Sy = std::max<std::int64_t>(H / RowsWanted, 1);
    Sx = Sy;
  }
  // A negative request would give a negative step; the step never falls
  // below one pixel.
  Sx = std::max<std::int64_t>(Sx, 1);
  Sy = std::max<std::int64_t>(Sy, 1);

  const std::int64_t C = W / Sx + (W % Sx != 0 ? 1 : 0);
  const std::int64_t R = H / Sy + (H % Sy != 0 ? 1 : 0);
  Cols_ = static_cast<std::int32_t>(C);
  Rows_ = static_cast<std::int32_t>(R);
  Tiles_.resize(static_cast<std::size_t>(C * R));
  TBoxTile* T = Tiles_.data();
  for (std::int64_t Y = 0; Y < R; ++Y) {
    const std::int64_t Top = Rect_.Top + Y * Sy;
    const std::int32_t Bottom = static_cast<std::int32_t>(std::min<std::int64_t>(Top + Sy + 1, Rect_.Bottom));
    for (std::int64_t X = 0; X < C; ++X, ++T) {
      const std::int64_t Left = Rect_.Left + X * Sx;
      T->Left = static_cast<std::int32_t>(Left);
      T->Top = static_cast<std::int32_t>(Top);
      T->Right = static_cast<std::int32_t>(std::min<std::int64_t>(Left + Sx + 1, Rect_.Right));
      T->Bottom = Bottom;
      T->RevealW = 0;
      T->RevealH = 0;
    }
  }
}

void TTPBoxTransition::SetStartCounters(const std::function<std::int64_t(std::int32_t R, std::int32_t C)>& S) {
  Planned_ = false;
  TBoxTile* T = Tiles_.data();
  for (std::int32_t R = 0; R < Rows_; ++R)
    for (std::int32_t C = 0; C < Cols_; ++C, ++T) {
      const auto Counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(S(R, C)));
      T->RevealW = Counter;
      T->RevealH = Counter;
    }
}

namespace {

// Tile spans are short (a few to a few dozen pixels): copied in 16-byte
// moves, the last one overlapping the one before, instead of a call into
// memcpy per span.
inline void CopySpan(TColor32* Dst, const TColor32* Src, std::int32_t Count) {
  if (Count > 32) {
    std::memcpy(Dst, Src, static_cast<std::size_t>(Count) * sizeof(TColor32));
    return;
  }
  if (Count < 4) {
    for (std::int32_t I = 0; I < Count; ++I) Dst[I] = Src[I];
    return;
  }
  for (std::int32_t I = 0; I + 4 <= Count; I += 4) std::memcpy(Dst + I, Src + I, 16);
  std::memcpy(Dst + Count - 4, Src + Count - 4, 16);
}

// One growth of a counter: by 1 when it has reached the tile size (the
// final increment that marks it complete), by 2 otherwise, clamped once to
// the tile size when the tile is drawing.
void Grow(std::int32_t Size, std::int32_t& Reveal, bool Drawn) {
  if (Size >= Reveal || !Drawn) {
    if (Size == Reveal) {
      Reveal += 1;
    } else {
      Reveal += 2;
      if (Reveal > Size && Drawn) Reveal = Size;
    }
  }
}

}  // namespace

namespace {

// Both counters zero or below: the tile has not started.
bool IsWaiting(const TBoxTile& T) { return T.RevealW <= 0 && T.RevealH <= 0; }
bool IsComplete(const TBoxTile& T) { return T.Right - T.Left < T.RevealW && T.Bottom - T.Top < T.RevealH; }

}  // namespace

void TTPBoxTransition::PlanSteps() {
  Growing_.clear();
  Sleeping_.clear();
  NextToWake_ = 0;
  StepsSincePlanning_ = 0;
  StepsCountedWhileAsleep_ = 0;
  for (std::uint32_t I = 0; I < Tiles_.size(); ++I) {
    const TBoxTile& T = Tiles_[I];
    if (IsWaiting(T)) {
      // Counting up by 2 per step, the higher counter is above zero after
      // this many steps; the step after them is the tile's first of growth.
      const std::int64_t Higher = std::max(T.RevealW, T.RevealH);
      Sleeping_.push_back({static_cast<std::uint32_t>(-Higher / 2 + 1), I});
    } else if (!IsComplete(T)) {
      Growing_.push_back(I);
    }
  }
  // Stable: the tiles that wake together stay in table order.
  std::stable_sort(Sleeping_.begin(), Sleeping_.end(),
                   [](const SleepingTile& A, const SleepingTile& B) { return A.WakeStep < B.WakeStep; });
  Planned_ = true;
}

void TTPBoxTransition::WakeTiles() {
  Woken_.clear();
  while (NextToWake_ < Sleeping_.size() && Sleeping_[NextToWake_].WakeStep <= StepsSincePlanning_) {
    const SleepingTile S = Sleeping_[NextToWake_++];
    TBoxTile& T = Tiles_[S.Index];
    // The counting of the steps it slept through (no overflow: the higher
    // counter ends at 1 or 2, the lower one below it).
    const std::int64_t Counted = 2 * (std::int64_t{S.WakeStep} - StepsCountedWhileAsleep_);
    T.RevealW = static_cast<std::int32_t>(T.RevealW + Counted);
    T.RevealH = static_cast<std::int32_t>(T.RevealH + Counted);
    Woken_.push_back(S.Index);
  }
  if (Woken_.empty()) return;
  Merged_.resize(Growing_.size() + Woken_.size());
  std::merge(Growing_.begin(), Growing_.end(), Woken_.begin(), Woken_.end(), Merged_.begin());
  Growing_.swap(Merged_);
}

void TTPBoxTransition::SettleSleepingTiles() const {
  if (!Planned_ || StepsCountedWhileAsleep_ == StepsSincePlanning_) return;
  const std::int64_t Counted = 2 * (std::int64_t{StepsSincePlanning_} - StepsCountedWhileAsleep_);
  for (std::size_t I = NextToWake_; I < Sleeping_.size(); ++I) {
    TBoxTile& T = Tiles_[Sleeping_[I].Index];
    T.RevealW = static_cast<std::int32_t>(T.RevealW + Counted);
    T.RevealH = static_cast<std::int32_t>(T.RevealH + Counted);
  }
  StepsCountedWhileAsleep_ = StepsSincePlanning_;
}

void TTPBoxTransition::GrowTiles() {
  AllRevealed_ = true;
  if (Tiles_.empty()) return;
  StartStepTimer();
  if (!Planned_) PlanSteps();
  WakeTiles();
  // Tiles still asleep are not complete.
  if (NextToWake_ < Sleeping_.size()) AllRevealed_ = false;

  CollectingReveals_ = true;
  PendingRects_.clear();
  StepChanges_ = TRect{};
  // Complete the copies of one grid row before the next row's tiles: the
  // pixels of a grid row are then written row after row, in memory order.
  std::int32_t RowTop = Growing_.empty() ? 0 : Tiles_[Growing_.front()].Top;
  std::size_t StillGrowing = 0;
  for (const std::uint32_t Index : Growing_) {
    TBoxTile& T = Tiles_[Index];
    if (T.Top != RowTop) {
      CopyPendingRects();
      RowTop = T.Top;
    }
    const std::int32_t W = T.Right - T.Left;
    const std::int32_t H = T.Bottom - T.Top;
    bool Drawn = false;
    if (T.RevealW > 0 && T.RevealH > 0) {
      Drawn = true;
      TRect R{T.Left, T.Top, T.Right, T.Bottom};
      if (W > T.RevealW) {
        R.Left = T.Left + W / 2 - T.RevealW / 2;
        R.Right = R.Left + T.RevealW;
      }
      if (H > T.RevealH) {
        R.Top = T.Top + H / 2 - T.RevealH / 2;
        R.Bottom = R.Top + T.RevealH;
      }
      RevealRect(R, T);
    }
    Grow(W, T.RevealW, Drawn);
    Grow(H, T.RevealH, Drawn);
    AllRevealed_ = false;
    // A tile once started never waits again; a complete one is done.
    if (!IsComplete(T)) Growing_[StillGrowing++] = Index;
  }
  Growing_.resize(StillGrowing);
  ++StepsSincePlanning_;
  CopyPendingRects();
  CollectingReveals_ = false;
  // The step reaches the screen as one frame.
  if (Canvas_ && !StepChanges_.IsEmpty()) Canvas_->Changed(StepChanges_);
}

void TTPBoxTransition::RevealRect(const TRect& R, const TBoxTile& /*Tile*/) {
  PendingRects_.push_back(R);
  if (CollectingReveals_) return;
  StepChanges_ = TRect{};
  CopyPendingRects();
  if (Canvas_ && !StepChanges_.IsEmpty()) Canvas_->Changed(StepChanges_);
}

void TTPBoxTransition::CopyPendingRects() {
  if (PendingRects_.empty()) return;
  if (!Canvas_ || !TargetBitmap_ || TargetBitmap_->Empty()) {
    PendingRects_.clear();
    return;
  }
  const platform::PixelView Out = Canvas_->Pixels();
  if (!Out.Bits) {
    PendingRects_.clear();
    return;
  }
  // Where pixels may go: the canvas, its clip box, and the part of the
  // canvas the target lies on.
  TRect Allowed = IntersectRect(TRect{0, 0, Out.Width, Out.Height}, Canvas_->ClipBox());
  Allowed = IntersectRect(Allowed, TRect{Rect_.Left, Rect_.Top, Rect_.Left + TargetBitmap_->Width(),
                                         Rect_.Top + TargetBitmap_->Height()});
  std::int32_t Top = std::numeric_limits<std::int32_t>::max(), Bottom = std::numeric_limits<std::int32_t>::min();
  std::size_t Kept = 0;
  for (const TRect& R : PendingRects_) {
    const TRect Cut = IntersectRect(R, Allowed);
    if (Cut.IsEmpty()) continue;
    PendingRects_[Kept++] = Cut;
    Top = std::min(Top, Cut.Top);
    Bottom = std::max(Bottom, Cut.Bottom);
    StepChanges_ = UnionRect(StepChanges_, Cut);
  }
  PendingRects_.resize(Kept);
  const TBitmap32& Target = *TargetBitmap_;
  // Spans that lie far apart in a row are too scattered for the hardware to
  // foresee: then the lines of the spans a few rows further down are
  // requested while this row is copied. Spans that fill most of a row are
  // read in a stream the hardware follows by itself.
  constexpr std::int32_t Ahead = 3;
  std::int64_t Covered = 0;
  for (const TRect& R : PendingRects_) Covered += R.Width();
  const bool Scattered = Covered * 2 < std::int64_t{Allowed.Width()};
  for (std::int32_t Y = Top; Y < Bottom; ++Y) {
    TColor32* Dst = Out.Row(Y);
    const TColor32* Src = Target.ScanLine(Y - Rect_.Top);
    const std::int32_t Later = Y + Ahead;
    const bool Prefetch = Scattered && Later < Bottom;
    const std::ptrdiff_t DstAhead = Prefetch ? Out.Row(Later) - Dst : 0;
    const std::ptrdiff_t SrcAhead = Prefetch ? Target.ScanLine(Later - Rect_.Top) - Src : 0;
    for (const TRect& R : PendingRects_) {
      if (Y >= R.Top && Y < R.Bottom) {
        TColor32* To = Dst + R.Left;
        const TColor32* From = Src + (R.Left - Rect_.Left);
        if (Prefetch && Later < R.Bottom) {
          __builtin_prefetch(From + SrcAhead);
          __builtin_prefetch(From + SrcAhead + R.Width() - 1);
          __builtin_prefetch(To + DstAhead, 1);
          __builtin_prefetch(To + DstAhead + R.Width() - 1, 1);
        }
        CopySpan(To, From, R.Width());
      }
    }
  }
  PendingRects_.clear();
}
