// With the typewriter in place, the registry holds every plug-in class of
// the player, each once, in the registration table's order.
#include <gtest/gtest.h>

#include "Chore/Registration.h"
#include "PluginEngine/PluginLists.h"
#include "TextAnimations/TypeWriter.h"

TEST(RegistryOrder, HoldsExactlyTheFortyNineClassesInTableOrder) {
  TPlugins Registry;
  RegisterPluginClasses(Registry);
  const auto& Table = RegistrationTable();
  ASSERT_EQ(Table.size(), 49u);
  ASSERT_EQ(Registry.Count(), 49);
  for (std::int32_t I = 0; I < Registry.Count(); ++I)
    EXPECT_EQ(Registry.Items(I)->PluginClass()->ClassName(), Table[static_cast<std::size_t>(I)]) << I;
  EXPECT_EQ(Registry.Items(0)->PluginClass(), TTAPTypeWriter::StaticClass());
  EXPECT_EQ(Registry.FindPlugin("TTAPTypeWriter"), TTAPTypeWriter::StaticClass());
}
