#include <gtest/gtest.h>

#include <memory>

#include "CKS/StreamAdapters.h"
#include "TestBytes.h"

namespace {

Bytes Iota(std::size_t N) {
  Bytes B(N);
  for (std::size_t I = 0; I < N; ++I) B[I] = static_cast<std::uint8_t>(I);
  return B;
}

TEST(PartialStream, WindowIsCutAtTheBaseStreamsEnd) {
  TMemoryStream Base(Iota(120));
  TPartialStream W(&Base, 100, 50, false);
  EXPECT_EQ(W.GetSize(), 20);
  TPartialStream Beyond(&Base, 130, 10, false);
  EXPECT_EQ(Beyond.GetSize(), 0);
  std::uint8_t B[4];
  EXPECT_EQ(Beyond.Read(B, 4), 0);
  TPartialStream Clamped(&Base, 130, 10, true);
  EXPECT_EQ(Clamped.Start(), 120);
  W.SetWindowSize(-5);
  EXPECT_EQ(W.GetSize(), 0) << "never below 0";
}

TEST(PartialStream, ReadsInsideTheWindowAndRestoresTheBase) {
  TMemoryStream Base(Iota(120));
  Base.SetPosition(7);
  TPartialStream W(&Base, 100, 20, false);
  W.SetPosition(15);
  std::uint8_t Buf[30] = {};
  EXPECT_EQ(W.Read(Buf, 30), 5);
  EXPECT_EQ(Buf[0], 115);
  EXPECT_EQ(W.GetPosition(), 20);
  EXPECT_EQ(W.Read(Buf, 30), 0);
  EXPECT_EQ(Base.GetPosition(), 7);
}

TEST(PartialStream, SeekingIsNotClampedButNothingOutsideIsTouched) {
  TMemoryStream Base(Iota(40));
  TPartialStream W(&Base, 10, 10, false);
  EXPECT_EQ(W.Seek(-5, soBeginning), -5);
  EXPECT_EQ(W.GetPosition(), -5);
  EXPECT_EQ(W.Seek(3, soCurrent), -2);
  EXPECT_EQ(W.Seek(4, soEnd), 14);
  // Before the window nothing is read or written: those bytes are the
  // surrounding container's.
  W.SetPosition(-5);
  std::uint8_t Buf[8] = {};
  EXPECT_EQ(W.Read(Buf, 8), 0);
  W.SetGrowable(true);
  EXPECT_EQ(W.Write(Buf, 8), 0);
  EXPECT_EQ(Base.Bytes(), Iota(40));
}

TEST(PartialStream, GrowableWindowGrowsOnWrite) {
  TMemoryStream Base;
  Base.SetPosition(0);
  TPartialStream W(&Base, 0, 0, false);
  W.SetGrowable(true);
  W.WriteBuffer("0123456789", 10);
  EXPECT_EQ(W.GetSize(), 10);
  EXPECT_EQ(Base.GetPosition(), 0);
  EXPECT_EQ(Base.GetSize(), 10);
  W.SetSize(3);  // only SetWindowSize and writing change the window
  EXPECT_EQ(W.GetSize(), 10);
}

TEST(PartialStream, FixedWindowWritesOnlyInside) {
  TMemoryStream Base(Bytes(10, 0));
  TPartialStream W(&Base, 2, 4, false);
  W.SetPosition(2);
  EXPECT_EQ(W.Write("abcd", 4), 2);
  EXPECT_EQ(Base.Bytes(), (Bytes{0, 0, 0, 0, 'a', 'b', 0, 0, 0, 0}));
  EXPECT_EQ(W.Write("x", 1), 0);
  try {
    W.WriteBuffer("x", 1);
    FAIL();
  } catch (const EWriteError& E) {
    EXPECT_STREQ(E.what(), "Stream-Schreibfehler");
  }
}

TEST(StreamImp, KeptAliveStreamStillReferencedCannotBeFreed) {
  TMemoryStream Base;
  auto Window = std::make_unique<TPartialStream>(&Base, 0, 0, false);
  Window->KeepAlive();
  {
    TInterfacePtr<IStream> Ref(static_cast<IStream*>(Window.get()));
    EXPECT_EQ(Window->RefCount(), 2);
    try {
      TInterfaceImp::Free(Window.get());
      FAIL();
    } catch (const EInterfaceError& E) {
      EXPECT_STREQ(E.what(), "Interface wird noch referenziert! 2 TPartialStream");
    }
  }
  TInterfaceImp::Free(Window.release());  // count back to 1: freed
}

TEST(StreamImp, UnkeptStreamFreesItselfWithItsLastReference) {
  TMemoryStream Base(Iota(8));
  bool Destroyed = false;
  struct Probe : TPartialStream {
    Probe(TStream* B, bool* Flag) : TPartialStream(B, 0, 8, false), Flag_(Flag) {}
    ~Probe() override { *Flag_ = true; }
    bool* Flag_;
  };
  TInterfacePtr<IStream> Ref(static_cast<IStream*>(std::make_unique<Probe>(&Base, &Destroyed).release()));
  auto Getter = Ref.Query<IGetTStream>();
  ASSERT_TRUE(Getter);
  EXPECT_EQ(Getter->GetTStream()->GetSize(), 8);
  EXPECT_EQ(Ref->GetSize(), 8);
  EXPECT_FALSE(Destroyed);
  Ref.Reset();
  EXPECT_FALSE(Destroyed);
  Getter.Reset();
  EXPECT_TRUE(Destroyed);
}

TEST(StreamWrappers, ForwardBothWays) {
  TMemoryStream* Memory = std::make_unique<TMemoryStream>(Iota(100)).release();  // the wrapper owns it
  TInterfacePtr<IStream> AsInterface(std::make_unique<TTStreamWrapper>(Memory, true).release());
  TIStreamWrapper Back(AsInterface);
  EXPECT_EQ(Back.GetSize(), 100);
  EXPECT_EQ(Back.Seek(-10, soEnd), 90);
  std::uint8_t Buf[20];
  EXPECT_EQ(Back.Read(Buf, 20), 10);
  EXPECT_EQ(Buf[0], 90);
  Back.SetSize(50);
  EXPECT_EQ(Memory->GetSize(), 50);
  EXPECT_EQ(Back.Write("z", 1), 1);
  EXPECT_EQ(AsInterface->GetPosition(), 51);
  AsInterface->SetPosition(1);
  EXPECT_EQ(Back.GetPosition(), 1);
}

TEST(StreamWrappers, CopyFromCountZeroCopiesTheWholeSource) {
  TMemoryStream SourceMemory(Iota(70000));
  SourceMemory.SetPosition(123);
  TInterfacePtr<IStream> Source(std::make_unique<TTStreamWrapper>(&SourceMemory, false).release());
  TMemoryStream TargetMemory;
  TInterfacePtr<IStream> Target(std::make_unique<TTStreamWrapper>(&TargetMemory, false).release());
  EXPECT_EQ(Target->CopyFrom(Source.Get(), 0), SourceMemory.GetSize());
  EXPECT_EQ(TargetMemory.Bytes(), SourceMemory.Bytes());

  TMemoryStream WindowBase;
  TPartialStream Window(&WindowBase, 0, 0, false);
  Window.SetGrowable(true);
  SourceMemory.SetPosition(10);
  EXPECT_EQ(Window.CopyFrom(Source.Get(), 5), 5);
  EXPECT_EQ(WindowBase.Bytes(), (Bytes{10, 11, 12, 13, 14}));
}

}  // namespace
