#include "PluginEngine/InterfaceFactoryInt.h"
#include "PluginEngine/InterfaceImp.h"

#include <gtest/gtest.h>

#include "Platform/Core/Hooks.h"

namespace {

struct IGreeter : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{0C254EEE-FF18-4029-BA52-188AFA2900C9}");
  virtual std::string Greet() = 0;
};
struct ICounter : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("{388831ff-7e33-441b-8db6-9565821da250}");
  virtual int Next() = 0;
};
struct IUnused : virtual IInterface {
  static constexpr TGUID IID = TGUID::FromString("47222277-2867-4270-A66F-091521AB0B5E");
};

int Destroyed = 0;

// Implements two interfaces over one count.
class TGreeter : public TInterfaceImp, public IGreeter, public ICounter {
public:
  ~TGreeter() override { ++Destroyed; }
  std::string Greet() override { return "Hallo"; }
  int Next() override { return ++N_; }

protected:
  void* GetInterface(const TGUID& InterfaceID) override {
    if (InterfaceID == IGreeter::IID) return static_cast<IGreeter*>(this);
    if (InterfaceID == ICounter::IID) return static_cast<ICounter*>(this);
    return TInterfaceImp::GetInterface(InterfaceID);
  }

private:
  int N_ = 0;
};

class InterfaceTest : public testing::Test {
protected:
  void SetUp() override {
    Destroyed = 0;
    platform::SetMessageBoxHook([this](const std::string& Text) { Messages.push_back(Text); });
  }
  void TearDown() override { platform::SetMessageBoxHook(nullptr); }
  std::vector<std::string> Messages;
};

}  // namespace

// Global, so that its class name reads as a class of the system does.
class TOwnedStream : public TInterfaceClassImp, public IGreeter {
public:
  ~TOwnedStream() override { ++Destroyed; }
  std::string Greet() override { return "Stream"; }

protected:
  void* GetInterface(const TGUID& InterfaceID) override {
    if (InterfaceID == IGreeter::IID) return static_cast<IGreeter*>(this);
    return TInterfaceClassImp::GetInterface(InterfaceID);
  }
};

TEST(Guid, ParsesAndPrintsIdentities) {
  constexpr TGUID G = TGUID::FromString("{80E9A2DD-9D90-49DA-AD77-343238EBBD13}");
  static_assert(G.D1 == 0x80E9A2DD && G.D2 == 0x9D90 && G.D3 == 0x49DA && G.D4[0] == 0xAD && G.D4[7] == 0x13);
  EXPECT_EQ(G.ToString(), "{80E9A2DD-9D90-49DA-AD77-343238EBBD13}");
  EXPECT_EQ(IInterface::IID.ToString(), "{00000000-0000-0000-C000-000000000046}");
  EXPECT_NE(IGreeter::IID, ICounter::IID);
  for (const char* Bad : {"", "{80E9A2DD-9D90-49DA-AD77-343238EBBD1}", "80E9A2DD-9D90-49DA-AD77-343238EBBD1G",
                          "{80E9A2DD+9D90-49DA-AD77-343238EBBD13}"})
    EXPECT_THROW(TGUID::FromString(Bad), std::invalid_argument) << Bad;
}

TEST_F(InterfaceTest, SelfFreeingObjectDiesWithItsLastReference) {
  TGreeter* Raw = new TGreeter;
  EXPECT_EQ(Raw->RefCount(), 0);
  {
    TInterfacePtr<IGreeter> G(Raw);
    EXPECT_EQ(Raw->RefCount(), 1);
    TInterfacePtr<ICounter> C = G.Query<ICounter>();
    ASSERT_TRUE(C);
    EXPECT_EQ(C->Next(), 1);
    EXPECT_EQ(Raw->RefCount(), 2);
    EXPECT_FALSE(G.Query<IUnused>());
    C.Reset();
    TInterfacePtr<IInterface> Base = G;  // a copy adds a reference
    EXPECT_EQ(Raw->RefCount(), 2);
    Base.Reset();
    EXPECT_EQ(Destroyed, 0);
  }
  EXPECT_EQ(Destroyed, 1);
}

TEST_F(InterfaceTest, QueryInterfaceAnswersNoInterface) {
  TOwnedStream S;
  void* Obj = &S;
  EXPECT_EQ(S.QueryInterface(IUnused::IID, &Obj), E_NOINTERFACE);
  EXPECT_EQ(E_NOINTERFACE, static_cast<HRESULT>(0x80004002u));
  EXPECT_EQ(Obj, nullptr);
  EXPECT_EQ(S.RefCount(), 1);
  ASSERT_EQ(S.QueryInterface(IGreeter::IID, &Obj), S_OK);
  EXPECT_EQ(S.RefCount(), 2);
  EXPECT_EQ(static_cast<IGreeter*>(Obj)->Greet(), "Stream");
  EXPECT_EQ(static_cast<IGreeter*>(Obj)->Release(), 1);
}

TEST_F(InterfaceTest, OwnedObjectRefusesToBeFreedWhileReferenced) {
  auto* S = new TOwnedStream;
  EXPECT_EQ(S->RefCount(), 1);
  TInterfacePtr<IGreeter> Ref(S);
  try {
    TInterfaceImp::Free(S);
    FAIL();
  } catch (const EInterfaceError& E) {
    EXPECT_STREQ(E.what(), "Interface wird noch referenziert! 2 TOwnedStream");
  }
  EXPECT_EQ(Destroyed, 0);
  EXPECT_EQ(Ref->Greet(), "Stream");  // still alive
  Ref.Reset();                        // back to its own count: releasing never frees it
  EXPECT_EQ(S->RefCount(), 1);
  EXPECT_EQ(Destroyed, 0);
  TInterfaceImp::Free(S);
  EXPECT_EQ(Destroyed, 1);
}

TEST_F(InterfaceTest, OwnerDeleterLeavesAReferencedObjectAliveAndSaysSo) {
  TInterfacePtr<IGreeter> Ref;
  {
    std::unique_ptr<TOwnedStream, TFreeInterfaceObject> Owner(new TOwnedStream);
    Ref = Owner.get();
  }
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].rfind("Interface wird noch referenziert! 2 ", 0), 0u);
  EXPECT_EQ(Ref->Greet(), "Stream");
  // What is left can still be freed by whoever holds it last.
  IGreeter* Raw = Ref.Get();
  Ref.Reset();
  TInterfaceImp::Free(dynamic_cast<TInterfaceImp*>(Raw));
  EXPECT_EQ(Destroyed, 1);
}

TEST_F(InterfaceTest, KeptAliveObjectSurvivesItsReferences) {
  auto* G = new TGreeter;
  {
    TInterfacePtr<IGreeter> Ref(G);
    KeepInterfaceAlive(Ref);
  }
  EXPECT_EQ(Destroyed, 0);
  EXPECT_EQ(G->RefCount(), 1);
  G->Release();  // the owner drops the extra reference and with it the object
  EXPECT_EQ(Destroyed, 1);
}

TEST_F(InterfaceTest, ConstructionGuardProtectsAnObjectLendingItself) {
  struct TLender : TInterfaceImp {
    TLender() {
      TConstructionGuard Guard(*this);
      TInterfacePtr<IInterface> Temporary(static_cast<IInterface*>(this));
    }
    ~TLender() override { ++Destroyed; }
  };
  auto* L = new TLender;
  EXPECT_EQ(Destroyed, 0);
  EXPECT_EQ(L->RefCount(), 0);
  TInterfaceImp::Free(L);
  EXPECT_EQ(Destroyed, 1);
}

TEST_F(InterfaceTest, MissingFactoryShowsItsMessageThenFailsTheAssertion) {
  EXPECT_FALSE(InterfaceFactoryAssigned());
  EXPECT_FALSE(InterfaceFactoryAssigned());
  EXPECT_EQ(Messages, (std::vector<std::string>{"InterfaceFactory has not been set!",
                                                "InterfaceFactory has not been set!"}));
  Messages.clear();
  try {
    GetInterfaceFactory();
    FAIL();
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(E.Text(), "InterfaceFactory has not been set!");
    EXPECT_EQ(E.Module(), "InterfaceFactoryInt");
    EXPECT_EQ(E.Line(), 216);
  }
  EXPECT_EQ(Messages.size(), 1u);
}

TEST_F(InterfaceTest, InstalledFactoryIsAnswered) {
  struct TFactory : TInterfaceImp, IInterfaceFactory {
    HRESULT CreateInterface(const TGUID& InterfaceID, void** Obj) override {
      return (new TGreeter)->QueryInterface(InterfaceID, Obj);
    }
    void* GetInterface(const TGUID& InterfaceID) override {
      if (InterfaceID == IInterfaceFactory::IID) return static_cast<IInterfaceFactory*>(this);
      return TInterfaceImp::GetInterface(InterfaceID);
    }
  };
  SetInterfaceFactory(TInterfacePtr<IInterfaceFactory>(new TFactory));
  EXPECT_TRUE(InterfaceFactoryAssigned());
  void* Obj = nullptr;
  ASSERT_EQ(GetInterfaceFactory()->CreateInterface(IGreeter::IID, &Obj), S_OK);
  auto Greeter = TInterfacePtr<IGreeter>::Adopt(static_cast<IGreeter*>(Obj));
  EXPECT_EQ(Greeter->Greet(), "Hallo");
  SetInterfaceFactory(nullptr);
  EXPECT_TRUE(Messages.empty());
  EXPECT_FALSE(InterfaceFactoryAssigned());
}
