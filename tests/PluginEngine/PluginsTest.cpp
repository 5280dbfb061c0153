#include "PluginEngine/PluginLists.h"
#include "PluginEngine/Plugins.h"

#include <gtest/gtest.h>

#include <set>

#include "Platform/Core/ListError.h"

// A small family: a metaclass with its own class-level operation that calls
// Caption(), so the test sees that dispatch reaches the most derived class.
class TTestFamilyClass : public TPluginClass {
public:
  virtual std::string Describe() const { return "[" + Caption() + "]"; }
};

class TTestFamily : public TPlugin {
  LMO_PLUGIN_WITH_CLASS(TTestFamily, TPlugin, TTestFamilyClass)
public:
  virtual int Kind() const { return 0; }
};

class TTestAlphaClass : public TTestFamily::TMetaClass {
public:
  std::string Caption() const override { return "alpha"; }
};
class TTestAlpha : public TTestFamily {
  LMO_PLUGIN_WITH_CLASS(TTestAlpha, TTestFamily, TTestAlphaClass)
public:
  TTestAlpha() : Value(42) {}  // set-up runs on creation through the class
  int Kind() const override { return 1; }
  int Value;
};

// Inherits TTestAlpha's metaclass type and so its Caption.
class TTestAlphaChild : public TTestAlpha {
  LMO_PLUGIN(TTestAlphaChild, TTestAlpha)
};

class TTestBetaClass : public TTestFamily::TMetaClass {
public:
  std::string Caption() const override { return "Beta"; }
};
class TTestBeta : public TTestFamily {
  LMO_PLUGIN_WITH_CLASS(TTestBeta, TTestFamily, TTestBetaClass)
};

class TTestOther : public TPlugin {
  LMO_PLUGIN(TTestOther, TPlugin)
};

// Western letters in a class name can only be written through an explicit
// metaclass object; the registry compares names, so that is all it needs.
class TUmlautClass final : public TPluginClass {
public:
  explicit TUmlautClass(std::string_view Name) : Name_(Name) {}
  std::string_view ClassName() const override { return Name_; }
  TPluginClassRef ClassParent() const override { return TPlugin::StaticClass(); }
  std::unique_ptr<TPlugin> Create() const override { return std::make_unique<TPlugin>(); }
private:
  std::string_view Name_;
};

TEST(PluginClass, KnowsNameParentAndCreatesExactlyItsClass) {
  TPluginClassRef C = TTestAlpha::StaticClass();
  EXPECT_EQ(C->ClassName(), "TTestAlpha");
  EXPECT_EQ(C->ClassParent(), TTestFamily::StaticClass());
  EXPECT_EQ(TPlugin::StaticClass()->ClassParent(), nullptr);
  EXPECT_TRUE(C->InheritsFrom(C));
  EXPECT_TRUE(C->InheritsFrom(TPlugin::StaticClass()));
  EXPECT_FALSE(C->InheritsFrom(TTestBeta::StaticClass()));
  EXPECT_FALSE(TTestFamily::StaticClass()->InheritsFrom(C));

  std::unique_ptr<TPlugin> Obj = C->Create();
  ASSERT_NE(Obj, nullptr);
  EXPECT_EQ(Obj->ClassType(), C);
  EXPECT_EQ(Obj->ClassName(), "TTestAlpha");
  EXPECT_EQ(static_cast<TTestAlpha*>(Obj.get())->Value, 42);

  std::unique_ptr<TPlugin> Child = TTestAlphaChild::StaticClass()->Create();
  EXPECT_EQ(Child->ClassType(), TTestAlphaChild::StaticClass());
  EXPECT_TRUE(Child->InheritsFrom(TTestAlpha::StaticClass()));
}

TEST(PluginClass, ClassLevelOperationsDispatchToTheMostDerivedOverride) {
  EXPECT_EQ(TPlugin::StaticClass()->Caption(), "");
  EXPECT_EQ(TTestFamily::StaticClass()->Describe(), "[]");
  EXPECT_EQ(TTestAlpha::StaticClass()->Describe(), "[alpha]");
  EXPECT_EQ(TTestAlphaChild::StaticClass()->Describe(), "[alpha]");
  TPluginClassRef AsRoot = TTestBeta::StaticClass();
  EXPECT_EQ(AsRoot->Caption(), "Beta");
  const TTestFamilyClass* AsFamily = PluginClassAs<TTestFamilyClass>(AsRoot);
  ASSERT_NE(AsFamily, nullptr);
  EXPECT_EQ(AsFamily->Describe(), "[Beta]");
  EXPECT_EQ(PluginClassAs<TTestFamilyClass>(TTestOther::StaticClass()), nullptr);
}

TEST(PluginClass, CreatePluginAsChecksTheExpectedBase) {
  auto Alpha = CreatePluginAs<TTestFamily>(TTestAlpha::StaticClass());
  ASSERT_NE(Alpha, nullptr);
  EXPECT_EQ(Alpha->Kind(), 1);
  EXPECT_EQ(CreatePluginAs<TTestFamily>(TTestOther::StaticClass()), nullptr);
  EXPECT_EQ(CreatePluginAs<TTestFamily>(nullptr), nullptr);
  // The root's Assign accepts anything and changes nothing.
  Alpha->Assign(nullptr);
  Alpha->Assign(CreatePluginAs<TTestOther>(TTestOther::StaticClass()).get());
}

class RegistryTest : public testing::Test {
protected:
  void SetUp() override {
    Registry.RegisterPlugin(TTestOther::StaticClass());
    Registry.RegisterPlugin(TTestBeta::StaticClass());
    Registry.RegisterPlugin(TTestAlpha::StaticClass());
    Registry.RegisterPlugin(TTestAlphaChild::StaticClass());
  }
  TPlugins Registry;
};

TEST_F(RegistryTest, FindPluginIgnoresCaseAndAnswersNilForUnknownNames) {
  for (const char* Name : {"TTestAlpha", "ttestalpha", "TTESTALPHA", "tTeStAlPhA"})
    EXPECT_EQ(Registry.FindPlugin(Name), TTestAlpha::StaticClass()) << Name;
  EXPECT_EQ(Registry.FindPlugin("TTestFamily"), nullptr);  // never registered
  EXPECT_EQ(Registry.FindPlugin(""), nullptr);
  EXPECT_EQ(Registry.FindPlugin("TTestAlph"), nullptr);
}

TEST_F(RegistryTest, WesternLettersFoldInClassNames) {
  const TUmlautClass Stored("T\xC4rger\xC9\x8A");  // "TÄrgerÉŠ" as stored (Windows-1252)
  Registry.RegisterPlugin(&Stored);
  EXPECT_EQ(Registry.FindPlugin("t\xE4RGER\xE9\x9A"), &Stored);
  EXPECT_EQ(Registry.FindPlugin("TArgerE\x8A"), nullptr);  // no accent stripping
  const TUmlautClass Twin("t\xE4rger\xE9\x9A");
  Registry.RegisterPlugin(&Twin);
  EXPECT_EQ(Registry.Count(), 5);
  EXPECT_EQ(Registry.FindPlugin("T\xC4RGER\xC9\x8A"), &Stored);
}

TEST_F(RegistryTest, ASecondClassOfTheSameNameIsIgnored) {
  const TUmlautClass Impostor("TTESTBETA");
  EXPECT_TRUE(Registry.IsRegistered(&Impostor));  // compared by name, not identity
  Registry.RegisterPlugin(&Impostor);
  Registry.RegisterPlugin(TTestBeta::StaticClass());
  EXPECT_EQ(Registry.Count(), 4);
  EXPECT_EQ(Registry.FindPlugin("TTestBeta"), TTestBeta::StaticClass());
  EXPECT_FALSE(Registry.IsRegistered(TTestFamily::StaticClass()));
}

TEST_F(RegistryTest, PluginsOfSharesTheQualifyingEntriesInOrder) {
  auto Family = Registry.PluginsOf(TTestFamily::StaticClass());
  ASSERT_NE(Family, nullptr);
  EXPECT_FALSE(Family->OwnsEntries());
  ASSERT_EQ(Family->Count(), 3);
  EXPECT_EQ(Family->Items(0), Registry.Items(1));  // the same entry objects
  EXPECT_EQ(Family->Items(1)->PluginClass(), TTestAlpha::StaticClass());
  EXPECT_EQ(Family->Items(2)->PluginClass(), TTestAlphaChild::StaticClass());

  // Emptying slots of the temporary registry and freeing it leaves the
  // entries of the owner alive.
  Family->List().SetItem(1, nullptr);
  EXPECT_EQ(Family->Items(1), nullptr);
  EXPECT_EQ(Family->FindPlugin("TTestAlpha"), nullptr);
  EXPECT_EQ(Family->FindPlugin("TTestAlphaChild"), TTestAlphaChild::StaticClass());
  Family.reset();
  EXPECT_EQ(Registry.Count(), 4);
  EXPECT_EQ(Registry.Items(2)->PluginClass(), TTestAlpha::StaticClass());

  EXPECT_EQ(Registry.PluginsOf(TPlugin::StaticClass())->Count(), 4);
  TPlugins Empty;
  EXPECT_EQ(Empty.PluginsOf(TPlugin::StaticClass()), nullptr);
  const TUmlautClass Unrelated("TUnrelated");
  EXPECT_EQ(Registry.PluginsOf(&Unrelated), nullptr);  // nil, not an empty registry
  EXPECT_EQ(Registry.PluginsOf(TTestAlphaChild::StaticClass())->Count(), 1);
}

TEST_F(RegistryTest, GlobalRegistryIsUntouchedByPluginsOf) {
  PluginRegistry.RegisterPlugin(TTestAlpha::StaticClass());
  PluginRegistry.RegisterPlugin(TTestOther::StaticClass());
  const std::int32_t Before = PluginRegistry.Count();
  EXPECT_EQ(PluginRegistry.PluginsOf(TTestBeta::StaticClass()), nullptr);
  PluginRegistry.PluginsOf(TTestFamily::StaticClass()).reset();
  EXPECT_EQ(PluginRegistry.Count(), Before);
  EXPECT_EQ(PluginRegistry.FindPlugin("ttestalpha"), TTestAlpha::StaticClass());
}

TEST_F(RegistryTest, BadIndexRaisesTheListIndexError) {
  for (std::int32_t Index : {-1, 4, 100}) {
    try {
      Registry.Items(Index);
      FAIL() << Index;
    } catch (const EListError& E) {
      EXPECT_EQ(std::string(E.what()), "Listenindex überschreitet das Maximum (" + std::to_string(Index) + ")");
    }
  }
  EXPECT_THROW(Registry.List().SetItem(4, nullptr), EListError);
}

TEST_F(RegistryTest, SortingByCaptionFoldsOnlyAsciiLetters) {
  Registry.SortByCaption();
  // Captions: TTestOther "", TTestBeta "Beta", TTestAlpha "alpha", child "alpha".
  EXPECT_EQ(Registry.Items(0)->PluginClass(), TTestOther::StaticClass());
  EXPECT_EQ(Registry.Items(1)->PluginClass()->Caption(), "alpha");
  EXPECT_EQ(Registry.Items(2)->PluginClass()->Caption(), "alpha");
  EXPECT_EQ(Registry.Items(3)->PluginClass(), TTestBeta::StaticClass());

  // Any comparison is safe, even an inconsistent one, and keeps every entry.
  int Calls = 0;
  Registry.Sort([&](const TPluginListItem*, const TPluginListItem*) { return (++Calls % 3) - 1; });
  std::set<TPluginClassRef> Seen;
  for (std::int32_t I = 0; I < Registry.Count(); ++I) Seen.insert(Registry.Items(I)->PluginClass());
  EXPECT_EQ(Seen.size(), 4u);
}

TEST(PluginListItem, OwnsTheInstanceItWasMadeFrom) {
  static int Destroyed = 0;
  struct TCounted : TPlugin {
    ~TCounted() override { ++Destroyed; }
  };
  {
    TPluginListItem Item(std::unique_ptr<TPlugin>(new TCounted), true);
    EXPECT_TRUE(Item.StreamRegistered());
    EXPECT_EQ(Item.PluginClass(), TPlugin::StaticClass());
    EXPECT_NE(Item.Instance(), nullptr);
  }
  EXPECT_EQ(Destroyed, 1);
  TPluginListItem ClassItem(TTestBeta::StaticClass(), false);
  EXPECT_EQ(ClassItem.Instance(), nullptr);
  EXPECT_FALSE(ClassItem.StreamRegistered());
}
