#include <gtest/gtest.h>

#include <memory>

#include "CKS/CKSStreamWinTypes.h"
#include "Platform/Core/Assertion.h"
#include "TestBytes.h"

namespace {

// Parent container with one chunk whose payload is: Int32 7, an embedded
// container (kind 2) holding one chunk, then Int32 9.
Bytes WriteParentWithEmbedded() {
  TMemoryStream Memory;
  {
    TCKSStreamWinTypes Parent(&Memory, cksModeCreate);
    Parent.SetFileType(1793);
    Parent.BeginWriteChunk(1);
    Parent.WriteInteger(7);
    {
      std::unique_ptr<TCKSStream> Child = Parent.CreateSubStream(2, true);
      EXPECT_TRUE(Child);
      EXPECT_TRUE(dynamic_cast<TCKSStreamWinTypes*>(Child.get())) << "created of the parent's class";
      EXPECT_EQ(Child->GetPosition(), 32);
      EXPECT_EQ(Child->GetFileType(), 1793) << "header copied from the parent";
      const std::int64_t ParentPosition = Parent.GetPosition();
      Child->BeginWriteChunk(5);
      Child->WriteString("inner");
      Child->EndWriteChunk();
      EXPECT_EQ(Parent.GetPosition(), ParentPosition) << "the window never moves the parent";
      Parent.SkipSubStream(*Child);
      Child->Close();
    }
    Parent.WriteInteger(9);
    Parent.EndWriteChunk();
  }
  return Memory.Bytes();
}

TEST(Embedded, CreatedContainerIsACompleteContainerInThePayload) {
  const Bytes Stored = WriteParentWithEmbedded();
  const Bytes Inner = Concat({HeaderBytes(53, 65538, 1793, 1, 0, 53), ChunkBytes(5, Concat({LE32(5), Text("inner")}))});
  EXPECT_EQ(Stored, Concat({HeaderBytes(32 + 12 + 4 + 53 + 4, 65538, 1793, 1, 0, 32 + 12 + 4 + 53 + 4),
                            ChunkBytes(1, Concat({LE32(7), Inner, LE32(9)}))}));
}

TEST(Embedded, ReadBackThroughKindOne) {
  TMemoryStream Memory(WriteParentWithEmbedded());
  TCKSStreamWinTypes Parent(&Memory, cksModeRead);
  TCKSChunkHeader H;
  Parent.BeginReadChunk(H);
  EXPECT_EQ(Parent.ReadInteger(), 7);
  std::unique_ptr<TCKSStream> Child = Parent.CreateSubStream(1, false);
  ASSERT_TRUE(Child);
  EXPECT_EQ(Child->GetPosition(), 32);
  EXPECT_EQ(Child->ChunkCounter(), 1);
  EXPECT_EQ(Child->GetSize(), 53) << "the window is the embedded file size";
  TCKSChunkHeader Inner;
  Child->BeginReadChunk(Inner);
  EXPECT_EQ(Inner.ChunkType, 5);
  EXPECT_EQ(Child->ReadString(), "inner");
  EXPECT_TRUE(Child->EndOfStream());
  EXPECT_THROW(Child->ReadByte(), EReadError) << "nothing beyond the window";
  Parent.SkipSubStream(*Child);
  EXPECT_EQ(Parent.ReadInteger(), 9);
  EXPECT_TRUE(Parent.EndOfChunk());
}

TEST(Embedded, ChildrenShareTheParentsReadBudget) {
  TMemoryStream Memory(WriteParentWithEmbedded());
  TCKSStreamWinTypes Parent(&Memory, cksModeRead);
  Parent.SetReadBudget(12 + 4 + 32 + 12 + 4);
  TCKSChunkHeader H;
  Parent.BeginReadChunk(H);
  Parent.ReadInteger();
  std::unique_ptr<TCKSStream> Child = Parent.CreateSubStream(1, false);
  ASSERT_TRUE(Child);
  Child->BeginReadChunk(H);
  EXPECT_THROW(Child->ReadString(), EReadError);
  EXPECT_EQ(Parent.ReadBudgetLeft(), 0);
}

TEST(Embedded, KindZeroIsHeaderless) {
  TMemoryStream Memory;
  TCKSStream Parent(&Memory, cksModeHeaderless);
  Parent.WriteInteger(1);
  {
    std::unique_ptr<TCKSStream> Child = Parent.CreateSubStream(0, true);
    ASSERT_TRUE(Child);
    EXPECT_EQ(Child->Mode(), cksModeHeaderless);
    EXPECT_EQ(Child->GetPosition(), 0);
    Child->WriteInteger(2);
    Parent.SkipSubStream(*Child);
  }
  Parent.WriteInteger(3);
  EXPECT_EQ(Memory.Bytes(), Concat({LE32(1), LE32(2), LE32(3)}));
}

TEST(Embedded, ChildrenThatCannotBeBuiltAreNone) {
  TMemoryStream Memory(Concat({LE32(0), Text("PRSX"), Bytes(40, 0)}));
  TCKSStream Parent(&Memory, cksModeHeaderless);
  EXPECT_FALSE(Parent.CreateSubStream(3, true)) << "unknown kind";
  EXPECT_FALSE(Parent.CreateSubStream(1, false)) << "no header at the position";
  Parent.SetPosition(40);
  EXPECT_FALSE(Parent.CreateSubStream(1, false)) << "shorter than a header";
  EXPECT_FALSE(Parent.CreateSubStream(2, false)) << "a fixed window cannot take the header";
  EXPECT_EQ(Memory.GetSize(), 48);
  TInterfacePtr<ICKSStream> Sub;
  Parent.GetSubStream(7, true, Sub);
  EXPECT_FALSE(Sub);
}

TEST(Embedded, KindOneWithAHugeStoredSizeIsCutAtTheParentsEnd) {
  TMemoryStream Memory(Concat({HeaderBytes(0, 65538, 0, 0, 0, INT64_MAX), Bytes(8, 0)}));
  TCKSStream Parent(&Memory, cksModeHeaderless);
  std::unique_ptr<TCKSStream> Child = Parent.CreateSubStream(1, false);
  ASSERT_TRUE(Child);
  EXPECT_EQ(Child->GetSize(), 40);
}

TEST(Embedded, InterfaceReferenceOwnsTheSubStream) {
  TMemoryStream Memory;
  TCKSStream Parent(&Memory, cksModeCreate);
  TInterfacePtr<ICKSStream> Sub;
  Parent.GetSubStream(2, true, Sub);
  ASSERT_TRUE(Sub);
  Sub->BeginWriteChunk(3);
  Sub->WriteInteger(1);
  Sub->EndWriteChunk();
  Parent.SkipSubStream(Sub.Get());
  EXPECT_EQ(Parent.GetPosition(), 32 + 32 + 16);
  Sub.Reset();  // the last reference frees the child, which rewrites its header
  EXPECT_EQ(Bytes(Memory.Bytes().begin() + 32, Memory.Bytes().begin() + 64), HeaderBytes(48, 65538, 0, 1, 0, 48));
}

TEST(Embedded, SkipSubStreamRejectsForeignStreams) {
  TMemoryStream Memory;
  TCKSStream Parent(&Memory, cksModeHeaderless);
  TCKSStream NotAWindow(&Memory, cksModeHeaderless);
  try {
    Parent.SkipSubStream(NotAWindow);
    FAIL();
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Text(), "SubStream.Stream ist kein TPartialStream");
  }
  try {
    Parent.SkipSubStream(static_cast<ICKSStream*>(nullptr));
    FAIL();
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Text(), "SubStream unterstützt nicht ICKSGetTStream");
  }
}

TEST(InterfaceForm, SetBaseStreamWithAnIStreamOwnsTheWrapper) {
  TMemoryStream Memory;
  TInterfacePtr<IStream> AsInterface(std::make_unique<TTStreamWrapper>(&Memory, false).release());
  {
    TCKSStream S;
    S.SetBaseStream(AsInterface, cksModeCreate);
    EXPECT_TRUE(S.OwnsBaseStream());
    EXPECT_EQ(AsInterface->GetSize(), 32);
    TInterfacePtr<IStream> Back;
    S.GetIStream(Back);
    ASSERT_TRUE(Back);
    EXPECT_EQ(Back->GetPosition(), 32);
    void* Obj = nullptr;
    ASSERT_EQ(S.QueryInterface(ICKSStream::IID, &Obj), S_OK);
    auto Interface = TInterfacePtr<ICKSStream>::Adopt(static_cast<ICKSStream*>(Obj));
    Interface->WriteInteger(5);
    EXPECT_EQ(Interface->GetPosition(), 36);
  }
  EXPECT_EQ(Memory.GetSize(), 36);
  EXPECT_EQ(Memory.Bytes()[16], 0);
  TCKSStream Forgets;
  Forgets.SetBaseStream(AsInterface, cksModeHeaderless);
  Forgets.SetBaseStream(TInterfacePtr<IStream>(), cksModeHeaderless);
  EXPECT_EQ(Forgets.GetTStream(), nullptr);
  EXPECT_EQ(Forgets.Mode(), cksModeHeaderless);
}

}  // namespace
