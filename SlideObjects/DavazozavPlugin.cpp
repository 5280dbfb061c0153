#include "SlideObjects/DavazozavPlugin.h"

#include "CKS/CKSStream.h"
#include "Platform/Core/Clock.h"
#include "PluginEngine/PluginLists.h"
#include "SlideObjects/SlideObjectSupport.h"

bool TDavazozavPluginClass::DrawThumbnail(std::int32_t Left, std::int32_t Top, std::int32_t AreaWidth,
                                          std::int32_t AreaHeight, platform::Canvas* Canvas) const {
  return DrawThumbnailSized(Left, Top, AreaWidth, AreaHeight, -1, -1, Canvas);
}

bool TDavazozavPluginClass::DrawThumbnailSized(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                               std::int32_t, std::int32_t, platform::Canvas*) const {
  // Without a resource name there is nothing to draw; with one, loading the
  // bitmap fails because the program's resources hold no thumbnails.
  return false;
}

TDavazozavPlugin::~TDavazozavPlugin() { Finish(); }

void TDavazozavPlugin::Finish() {
  if (Finished_) return;
  Finished_ = true;
  Stop();
  ReleaseResources();
}

const TDavazozavPluginClass& TDavazozavPlugin::SlideObjectClass() const {
  return static_cast<const TDavazozavPluginClass&>(*ClassType());
}

void TDavazozavPlugin::Assign(const TPlugin* Source) {
  const auto* S = dynamic_cast<const TDavazozavPlugin*>(Source);
  if (!S || S == this) return;
  OnChange = S->OnChange;
  KeyPressed = S->KeyPressed;
  MouseClicked = S->MouseClicked;
  Paused = S->Paused;
  TimingMode = S->TimingMode;
  Duration = S->Duration;
  State = S->State;
  StartTick = S->StartTick;
  PlayerForm = S->PlayerForm;
}

bool TDavazozavPlugin::IsFinished() {
  const bool Done = State == 2;
  switch (TimingMode) {
    case 0:
      // Unsigned 32-bit difference: survives the wrap of the tick counter.
      return Done && static_cast<std::uint32_t>(GetTickCount() - StartTick) >= Duration;
    case 1:
      return Done && (KeyPressed || MouseClicked);
    default:
      return Done;
  }
}

void TDavazozavPlugin::SaveToStream(TCKSStream& Stream) {
  Stream.WriteByte(TimingMode);
  Stream.WriteCardinal(Duration);
}

void TDavazozavPlugin::LoadFromStream(TCKSStream& Stream) {
  TimingMode = Stream.ReadByte();
  Duration = Stream.ReadCardinal();
}

void TDavazozavPlugin::CreateOptions(void* Parent) {
  // The frame class would be looked up among the registered persistent
  // classes; the player registers none, so there is never a frame to create.
  (void)Parent;
}

void TDavazozavPlugin::FreeOptions(void* Parent) { (void)Parent; }

void TDavazozavPlugin::Start(PlayerWindow* Form) {
  // Releases what an earlier run may still hold.
  Stop();
  State = 0;
  StartTick = GetTickCount();
  KeyPressed = false;
  MouseClicked = false;
  Paused = false;
  PlayerForm = Form;
}

void TDavazozavPlugin::Stop() { PlayerForm = nullptr; }

void TDavazozavPlugin::Pause() {
  if (Paused) return;
  Paused = true;
  DoPause();
}

void TDavazozavPlugin::Resume() {
  if (!Paused) return;
  Paused = false;
  DoResume();
}

void TDavazozavPlugin::MouseDown(TMouseButton, TShiftState, std::int32_t, std::int32_t) { MouseClicked = true; }
void TDavazozavPlugin::MouseMove(TShiftState, std::int32_t, std::int32_t) {}
void TDavazozavPlugin::MouseUp(TMouseButton, TShiftState, std::int32_t, std::int32_t) {}
void TDavazozavPlugin::KeyPress(TKeyChar&) { KeyPressed = true; }
void TDavazozavPlugin::KeyDown(std::uint16_t&, TShiftState) { KeyPressed = true; }
void TDavazozavPlugin::KeyUp(std::uint16_t&, TShiftState) {}

void TDavazozavPlugin::DoChange(bool Rebuild) {
  if (OnChange) OnChange(this, Rebuild);
}

std::unique_ptr<TDavazozavPlugin> CreateSlideObject(TPluginClassRef Class) {
  std::unique_ptr<TPlugin> Obj = Class->Create();
  auto* SlideObject = dynamic_cast<TDavazozavPlugin*>(Obj.get());
  if (!SlideObject) throw EInvalidCast();
  Obj.release();
  return std::unique_ptr<TDavazozavPlugin>(SlideObject);
}

TPluginClassRef FindPluginOrNone(const std::string& Name) {
  if (Name.empty()) return nullptr;
  return PluginRegistry.FindPlugin(Name);
}
