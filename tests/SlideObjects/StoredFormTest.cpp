// The stored form of every slide object class: defaults, payload bytes read
// and written back exactly, Assign, the change notifications of the setters
// and the descriptive values.
#include <gtest/gtest.h>

#include "CKS/CKSStreamWinTypes.h"
#include "Chore/Registration.h"
#include "PluginEngine/PluginLists.h"
#include "SlideObjects/BackgroundObjects.h"
#include "SlideObjects/PIPSound.h"
#include "SlideObjects/PVPPicture.h"
#include "SlideObjects/PVPText.h"
#include "SlideObjects/PVPVideo.h"
#include "tests/Slides/PresentationBytes.h"

using namespace testbytes;

namespace {

class StoredForm : public ::testing::Test {
protected:
  static void SetUpTestSuite() { RegisterPluginClasses(PluginRegistry); }
};

// Loads Payload into Obj through a headerless container, checks that all of
// it was read, and answers what Obj writes back.
Bytes LoadAndSave(TDavazozavPlugin& Obj, const Bytes& Payload) {
  TMemoryStream In(Payload);
  TCKSStreamWinTypes Reader(&In, cksModeHeaderless);
  Obj.LoadFromStream(Reader);
  EXPECT_EQ(Reader.GetPosition(), static_cast<std::int64_t>(Payload.size())) << Obj.ClassName();
  TMemoryStream Out;
  TCKSStreamWinTypes Writer(&Out, cksModeHeaderless);
  Obj.SaveToStream(Writer);
  return Out.Bytes();
}

Bytes Saved(TDavazozavPlugin& Obj) {
  TMemoryStream Out;
  TCKSStreamWinTypes Writer(&Out, cksModeHeaderless);
  Obj.SaveToStream(Writer);
  return Out.Bytes();
}

TEST_F(StoredForm, EveryClassWritesItsPayloadBackByteForByte) {
  const struct {
    const char* Class;
    Bytes Payload;
  } Cases[] = {
      {"TPVPColorRect", ColorRectPayload(0, 1000, 0, 0, 0.5, 0.5, 255)},
      {"TPVPPicture", PicturePayload(1, 20, "C:\\Bilder\\Foto.JPG", "", true, 0xFF00000F)},
      {"TPVPText", TextPayload(2, 7, "Gr\xFC\xDF" "e\r\nzwei", Font("Arial", 24, 0xFFFFFF, 0x0F), 2, 1, 2, 3, "")},
      {"TPVPText", TextPayload(0, 0, "", NoFont(), 7, 0, 0, 9, "")},
      {"TPIPSound", SoundPayload(0, 3000, "klang.wav")},
      {"TPIPSoundWizardSound", SoundPayload(255, 0, "")},
      {"TPVPVideo", VideoPayload(0, 0, "film.avi")},
  };
  for (const auto& C : Cases) {
    auto Obj = CreateSlideObject(PluginRegistry.FindPlugin(C.Class));
    EXPECT_EQ(LoadAndSave(*Obj, C.Payload), C.Payload) << C.Class;
  }
  TPVPBackground Background;
  const Bytes BackgroundPayload = Cat({Timing(0, 0), Placement(0, 0, 1, 1), U8(1), U32(0x00123456)});
  EXPECT_EQ(LoadAndSave(Background, BackgroundPayload), BackgroundPayload);
  EXPECT_EQ(Background.FillMode, 1);
  EXPECT_EQ(Background.BackgroundColor, 0x00123456u);
}

TEST_F(StoredForm, DefaultsAsWritten) {
  // Visible objects start with placement (0, 0, 1, 1): 37 bytes of mode,
  // duration and the raw doubles.
  const Bytes Visible = Cat({Timing(0, 0), Raw(std::string(16, '\0')), Raw(std::string("\0\0\0\0\0\0\xF0\x3F", 8)),
                             Raw(std::string("\0\0\0\0\0\0\xF0\x3F", 8))});
  TPVPColorRect Rect;
  EXPECT_EQ(Saved(Rect), Cat({Visible, U32(0)}));
  TPVPPicture Picture;
  // A new picture comes in through the random transition.
  EXPECT_EQ(Picture.TransitionClass, PluginRegistry.FindPlugin("TTPRandomTransition"));
  ASSERT_NE(Picture.TransitionClass, nullptr);
  EXPECT_EQ(Saved(Picture), Cat({Visible, Str(""), Str("TTPRandomTransition"), U8(0), U32(0)}));
  TPVPText Text;
  EXPECT_EQ(Saved(Text), Cat({Visible, Str(""), Font("Arial", 24, 0x00FFFFFF, 0), U8(0), U32(0), U32(0x00800000), U8(2),
                              Str("")}));
  TPIPSound Sound;
  EXPECT_EQ(Saved(Sound), Cat({Timing(0, 0), Str("")}));
  TPVPVideo Video;
  EXPECT_EQ(Saved(Video), Cat({Visible, Str("")}));
}

TEST_F(StoredForm, PictureFieldsAndUnregisteredTransition) {
  TPVPPicture P;
  LoadAndSave(P, PicturePayload(0, 0, "C:\\a\\b.jpg", "TTPNoSuchTransition", true, 5));
  EXPECT_EQ(P.FileName, "C:\\a\\b.jpg");
  EXPECT_EQ(P.TransitionClass, nullptr);
  EXPECT_EQ(P.TransitionClassNameRead, "TTPNoSuchTransition");
  EXPECT_TRUE(P.FillBackground);
  EXPECT_EQ(P.FillColor, 5u);
  // None is written as the empty name.
  EXPECT_EQ(Saved(P), PicturePayload(0, 0, "C:\\a\\b.jpg", "", true, 5));
  // A Boolean byte other than 0 reads as true.
  Bytes Two = PicturePayload(0, 0, "", "", true, 0);
  Two[37 + 4 + 4] = 2;
  LoadAndSave(P, Two);
  EXPECT_TRUE(P.FillBackground);
}

TEST_F(StoredForm, TextFieldsInTheirStoredOrder) {
  TPVPText T;
  LoadAndSave(T, TextPayload(0, 0, "Hallo & Tsch\xFC" "ss", Font("Times New Roman", 12, 0x0000FF, 0x01), 1, 0x111111,
                             0x222222, 3, "TTAPNoSuchAnimation"));
  EXPECT_EQ(T.Text, "Hallo & Tsch\xFC" "ss");
  ASSERT_NE(T.Font, nullptr);
  EXPECT_EQ(T.Font->Name(), "Times New Roman");
  EXPECT_EQ(T.Font->Size(), 12);
  EXPECT_EQ(T.Font->Color(), 0x0000FFu);
  EXPECT_TRUE(T.Font->Style().Contains(fsBold));
  EXPECT_EQ(T.Alignment, 1);
  EXPECT_EQ(T.EffectColor, 0x111111u);  // stored before EffectColor2
  EXPECT_EQ(T.EffectColor2, 0x222222u);
  EXPECT_EQ(T.EffectStyle, 3);
  EXPECT_EQ(T.AnimationClass, nullptr);
  EXPECT_EQ(T.AnimationClassNameRead, "TTAPNoSuchAnimation");
}

TEST_F(StoredForm, NoFontMarkerIsKeptAndWrittenBack) {
  TPVPText T;
  LoadAndSave(T, TextPayload(0, 0, "x", NoFont(), 0, 0, 0, 0, ""));
  EXPECT_EQ(T.Font, nullptr);
  TPVPText Copy;
  Copy.Assign(&T);
  EXPECT_EQ(Copy.Font, nullptr);
}

TEST_F(StoredForm, AssignCopiesEveryStoredField) {
  TPVPText Source;
  LoadAndSave(Source, TextPayload(1, 99, "abc", Font("Arial", 30, 0x00FF00, 0x02), 2, 7, 8, 1, ""));
  Source.Placement = RelRect(0.1, 0.2, 0.3, 0.4);
  TPVPText Target;
  Target.Assign(&Source);
  EXPECT_EQ(Saved(Target), Saved(Source));
  ASSERT_NE(Target.Font, Source.Font);
  // The copy's font reports to the copy, not to the source.
  int SourceChanges = 0, TargetChanges = 0;
  Source.SetOnChange([&](TDavazozavPlugin*, bool) { ++SourceChanges; });
  Target.SetOnChange([&](TDavazozavPlugin*, bool Rebuild) {
    EXPECT_TRUE(Rebuild);
    ++TargetChanges;
  });
  Target.Font->SetSize(40);
  EXPECT_EQ(TargetChanges, 1);
  EXPECT_EQ(SourceChanges, 0);
  // A source of another class copies the shared part only.
  TPVPColorRect Rect;
  Rect.Assign(&Source);
  EXPECT_EQ(Rect.TimingMode, 1);
  EXPECT_EQ(Rect.Duration, 99u);
  EXPECT_EQ(Rect.Placement, RelRect(0.1, 0.2, 0.3, 0.4));
  EXPECT_EQ(Rect.RectColor, 0u);
}

TEST_F(StoredForm, SettersReportOnlyRealChanges) {
  std::vector<bool> Seen;
  auto Record = [&](TDavazozavPlugin*, bool Rebuild) { Seen.push_back(Rebuild); };
  TPVPText Text;
  Text.SetOnChange(Record);
  Text.SetText("a");
  Text.SetText("a");
  Text.SetText("A");
  TPIPSound Sound;
  Sound.SetOnChange(Record);
  Sound.SetFileName("x.wav");
  Sound.SetFileName("x.wav");
  TPVPVideo Video;
  Video.SetOnChange(Record);
  Video.SetFileName("x.avi");
  Video.SetFileName("x.avi");
  // Text and video ask for a rebuild; a new sound file does not.
  EXPECT_EQ(Seen, (std::vector<bool>{true, true, false, true}));
}

TEST_F(StoredForm, DescriptiveValues) {
  TPVPPicture Picture;
  Picture.FileName = "C:\\Bilder\\Foto.JPG";
  TPVPText Text;
  Text.Text = "Titel";
  TPVPBackground Background;
  TPVPColorRect Rect;
  TPVPVideo Video;
  Video.FileName = "D:\\Film\\clip.avi";
  TPIPSound Sound;
  Sound.FileName = "musik.wav";
  TPIPSoundWizardSound Wizard;
  Wizard.FileName = "C:\\w\\assistent.wav";
  const struct {
    TDavazozavPlugin* Obj;
    const char* Thumbnail;
    const char* Frame;
    const char* Display;
    const char* Insert;
    bool InList;
  } Table[] = {
      {&Picture, "PVPPicture", "TPVPPictureFrame", "Foto.JPG", "Bild einf\xFCgen (aus Datei)", true},
      {&Text, "PVPText", "TPVPTextFrame", "Titel", "Text einf\xFCgen", true},
      {&Background, "PVPBackground", "TPVPBackgroundFrame", "Folie", "", true},
      {&Rect, "PVPColorRect", "TPVPColorRectFrame", "Farbfl\xE4" "che", "Farbfl\xE4" "che einf\xFCgen", true},
      {&Video, "PVPVideo", "TPVPVideoFrame", "clip.avi", "Video einf\xFCgen (aus Datei)", true},
      {&Sound, "PIPSound", "TPIPSoundFrame", "musik.wav", "Sound einf\xFCgen (aus Datei)", true},
      {&Wizard, "PIPSoundWizardSound", "TPIPSoundFrame", "assistent.wav", "Sound einf\xFCgen (aus Datei)", false},
  };
  for (const auto& Row : Table) {
    const auto& Class = Row.Obj->SlideObjectClass();
    EXPECT_EQ(Class.ThumbnailResourceName(), Row.Thumbnail) << Row.Thumbnail;
    EXPECT_EQ(Row.Obj->OptionsFrameClassName(), Row.Frame) << Row.Thumbnail;
    EXPECT_EQ(Row.Obj->DisplayName(), Row.Display) << Row.Thumbnail;
    EXPECT_EQ(Row.Obj->InsertCaption(), Row.Insert) << Row.Thumbnail;
    EXPECT_EQ(Class.AppearInList(), Row.InList) << Row.Thumbnail;
    EXPECT_EQ(Class.Caption(), "") << Row.Thumbnail;
    // The player carries no thumbnail bitmaps.
    EXPECT_FALSE(Class.DrawThumbnail(0, 0, 10, 10, nullptr)) << Row.Thumbnail;
  }
  EXPECT_TRUE(Picture.IsPositionable());
  EXPECT_TRUE(Picture.BackgroundCoversStage());
  EXPECT_FALSE(Background.IsPositionable());
  EXPECT_FALSE(Rect.BackgroundCoversStage());
}

TEST_F(StoredForm, UsedFilesAndRepointing) {
  TPVPPicture Picture;
  EXPECT_TRUE(Picture.UsedFilenames().empty());
  Picture.FileName = "C:\\Show\\pic.jpg";
  EXPECT_EQ(Picture.UsedFilenames(), (std::vector<std::string>{"C:\\Show\\pic.jpg"}));
  Picture.FileCopiedAs("C:\\show\\pic.jpg", "E:\\x\\pic0001.jpg");  // case differs: not the same name
  EXPECT_EQ(Picture.FileName, "C:\\Show\\pic.jpg");
  Picture.FileCopiedAs("C:\\Show\\pic.jpg", "E:\\x\\pic0001.jpg");
  EXPECT_EQ(Picture.FileName, "C:\\Show\\pic0001.jpg");
  TPIPSound Sound;
  Sound.FileName = "C:\\Show\\klang.wav";
  Sound.MoveFilesTo("/media/export");
  EXPECT_EQ(Sound.FileName, "/media/export/klang.wav");
  TPVPText Text;
  TPVPColorRect Rect;
  EXPECT_TRUE(Text.UsedFilenames().empty());
  EXPECT_TRUE(Rect.UsedFilenames().empty());
}

}  // namespace
