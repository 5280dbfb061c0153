// The registration table and the module initialisation order.
#include <gtest/gtest.h>

#include <algorithm>

#include "Chore/ModuleInit.h"
#include "Chore/Registration.h"
#include "Platform/Core/Hooks.h"
#include "PluginEngine/PluginLists.h"
#include "Tools/MediaFiles.h"

namespace {

TEST(Registration, ClassesExistingSoFarAreRegisteredInTableOrder) {
  TPlugins Registry;
  RegisterPluginClasses(Registry);
  const auto& Table = RegistrationTable();
  ASSERT_EQ(Table.size(), 49u);
  EXPECT_EQ(Table.front(), "TTAPTypeWriter");
  EXPECT_EQ(Table[20], "TTPBoxSpriralRadarTransition");
  EXPECT_EQ(Table.back(), "TPVPVideo");
  // Every registered entry is a table row, in the table's order; the slide
  // objects are all there.
  std::size_t Row = 0;
  for (std::int32_t I = 0; I < Registry.Count(); ++I) {
    const std::string_view Name = Registry.Items(I)->PluginClass()->ClassName();
    while (Row < Table.size() && Table[Row] != Name) ++Row;
    ASSERT_LT(Row, Table.size()) << Name << " is out of order or not in the table";
  }
  for (const char* Name : {"TPVPText", "TPVPColorRect", "TPVPPicture", "TPIPSound", "TPIPSoundWizardSound", "TPVPVideo"})
    EXPECT_NE(Registry.FindPlugin(Name), nullptr) << Name;
  EXPECT_EQ(Registry.FindPlugin("TPVPBackground"), nullptr);
  // Registering again changes nothing.
  const std::int32_t Count = Registry.Count();
  RegisterPluginClasses(Registry);
  EXPECT_EQ(Registry.Count(), Count);
}

TEST(ModuleInit, StepsRunInOrderAndFinishInReverse) {
  std::vector<std::string> Formats;
  platform::SetRegisterClipboardFormatHook([&](const std::string& Name) {
    Formats.push_back(Name);
    return 0xC123u;
  });
  bool PictureTableBuilt = false;
  {
    TModuleLifetime Modules(TStartupOptions{[&] { PictureTableBuilt = true; }});
    EXPECT_EQ(TModuleLifetime::Journal(),
              (std::vector<std::string>{"application information", "plug-in registry",
                                        "random generator, folders, clipboard format", "picture formats",
                                        "plug-in classes"}));
    EXPECT_TRUE(PictureTableBuilt);
    EXPECT_EQ(Formats, (std::vector<std::string>{"DavazozavPlugin"}));
    EXPECT_EQ(DavazozavPluginClipboardFormat, 0xC123u);
    EXPECT_FALSE(ProgramFolder.empty());
    EXPECT_EQ(ProgramFolder.back(), '/');
    EXPECT_TRUE(PresentationFolder.empty());
    EXPECT_NE(PluginRegistry.FindPlugin("TPVPPicture"), nullptr);
  }
  platform::SetRegisterClipboardFormatHook(nullptr);
  const auto& Journal = TModuleLifetime::Journal();
  ASSERT_EQ(Journal.size(), 10u);
  EXPECT_EQ(Journal[5], "~plug-in classes");
  EXPECT_EQ(Journal[9], "~application information");
  EXPECT_TRUE(ProgramFolder.empty());
}

}  // namespace
