#include "Slides/Slide.h"

#include <unordered_map>

#include "CKS/CKSStream.h"
#include "SlideObjects/PlayerWindow.h"
#include "Slides/LoadLimits.h"

// ---- TSlideObjects ----

TSlideObjects::~TSlideObjects() = default;

std::int32_t TSlideObjects::AddObject(std::unique_ptr<TDavazozavPlugin> Obj) {
  TDavazozavPlugin* Added = Obj.get();
  Items_.push_back(std::move(Obj));
  Added->SetOnChange([this](TDavazozavPlugin* Sender, bool Rebuild) { ObjectChanged(Sender, Rebuild); });
  ObjectChanged(Added, true);
  return Count() - 1;
}

TDavazozavPlugin* TSlideObjects::Objects(std::int32_t Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return Items_[static_cast<std::size_t>(Index)].get();
}

void TSlideObjects::ObjectChanged(TDavazozavPlugin* Obj, bool Rebuild) {
  if (OnChange) OnChange(this, Obj, Rebuild);
}

// ---- TSlide ----

namespace {

// Without a player window (a slide stepped headless) there is nothing to
// flush.
void FlushPlayerSurface() {
  if (KivoSlideShowPlayerForm) KivoSlideShowPlayerForm->FlushSurface();
}

}  // namespace

TSlide::TSlide() : Background(std::make_unique<TPVPBackground>()) {
  Objects.SetOnChange(
      [this](TSlideObjects* Sender, TDavazozavPlugin* Obj, bool Rebuild) { ObjectsChanged(Sender, Obj, Rebuild); });
  Background->SetOnChange(
      [this](TDavazozavPlugin* Sender, bool Rebuild) { ObjectsChanged(&Objects, Sender, Rebuild); });
  ResetPlayState();
}

TSlide::~TSlide() = default;

void TSlide::LoadFromStream(TCKSStream& Stream) {
  // The count is 64-bit here so that counting down from the most negative
  // count is defined; 0 or less means no records.
  std::int64_t Remaining = Stream.ReadInteger();
  const std::int64_t StreamSize = Stream.GetSize();
  // Class lookups by exact stored name; the registry does not change while
  // loading, and a slide repeats the same few names many times.
  std::unordered_map<std::string, TPluginClassRef> Known;
  while (Remaining > 0) {
    --Remaining;
    const std::string ClassName = Stream.ReadString();
    const std::int64_t RecordStart = Stream.GetPosition();
    const std::int64_t Size = Stream.ReadInteger();
    // A record must at least hold its own size field; a smaller size would
    // make the next record start inside this one, over and over.
    if (Size < 4) ThrowLoadReadError();
    // The record must lie within the stream: its first byte past the end
    // fails here, before any object is made for it.
    CheckRecordWithinStream(StreamSize, RecordStart, Size);
    auto Found = Known.find(ClassName);
    if (Found == Known.end()) Found = Known.emplace(ClassName, FindPluginOrNone(ClassName)).first;
    if (TPluginClassRef Class = Found->second) {
      std::unique_ptr<TDavazozavPlugin> Obj = CreateSlideObject(Class);
      TDavazozavPlugin& Added = *Obj;
      Objects.AddObject(std::move(Obj));
      Added.LoadFromStream(Stream);
    } else {
      UnregisteredClassNames_.push_back(ClassName);
    }
    Stream.SetPosition(RecordStart + Size);
  }
}

TDavazozavPlugin* TSlide::CurrentObject() const { return Objects.Objects(CurrentIndex); }

bool TSlide::NextObject() {
  if (CurrentIndex == -1 && Objects.Count() <= 0) return true;
  ++CurrentIndex;
  if (CurrentIndex == 0) PendingBackground = Background.get();
  if (CurrentIndex >= Objects.Count()) {
    CurrentIndex = -1;
    return true;
  }
  Objects.Objects(CurrentIndex)->Start(KivoSlideShowPlayerForm);
  return false;
}

bool TSlide::PreviousObject() {
  if (CurrentIndex == -1 && Objects.Count() <= 0) return true;
  --CurrentIndex;
  if (CurrentIndex < 0) {
    CurrentIndex = -1;
    return true;
  }
  Objects.Objects(CurrentIndex)->Start(KivoSlideShowPlayerForm);
  return false;
}

bool TSlide::Step() {
  bool Running = true;
  if (CurrentIndex == -1) {
    Running = !NextObject();
    if (!Running) return false;
  }
  TDavazozavPlugin* Obj;
  if (PendingBackground) {
    Obj = PendingBackground;
    Obj->Start(KivoSlideShowPlayerForm);
  } else {
    Obj = CurrentObject();
  }
  bool Again;
  do {
    if (Obj->IsFinished() || NextRequested || PreviousRequested) {
      Obj->Stop();
      if (Obj == PendingBackground) {
        // The first object, already started, becomes the one stepped; a
        // pending request is used up on the background.
        PendingBackground = nullptr;
        Running = true;
      } else if (PreviousRequested) {
        Running = !PreviousObject();
      } else {
        Running = !NextObject();
      }
      Obj = Running ? CurrentObject() : nullptr;
      NextRequested = false;
      PreviousRequested = false;
    }
    Again = false;
    if (Running) {
      Obj->Step();
      Again = Obj->IsFinished();
      if (Again) {
        Obj->Stop();
        if (Obj == PendingBackground) {
          PendingBackground = nullptr;
          Obj = CurrentObject();
        }
        FlushPlayerSurface();
      }
    }
  } while (Again);
  FlushPlayerSurface();
  return Running;
}

bool TSlide::RequestNextObject() {
  if (CurrentIndex >= Objects.Count() - 1) return false;
  NextRequested = true;
  PreviousRequested = false;
  return true;
}

bool TSlide::RequestPreviousObject() {
  if (CurrentIndex <= 0) return false;
  PreviousRequested = true;
  NextRequested = false;
  return true;
}

void TSlide::StopCurrentObject() {
  if (TDavazozavPlugin* Obj = CurrentObject()) Obj->Stop();
}

void TSlide::PauseCurrentObject() {
  if (TDavazozavPlugin* Obj = CurrentObject()) Obj->Pause();
}

void TSlide::ResumeCurrentObject() {
  if (TDavazozavPlugin* Obj = CurrentObject()) Obj->Resume();
}

void TSlide::ResetPlayState() {
  CurrentIndex = -1;
  NextRequested = false;
  PreviousRequested = false;
  PendingBackground = nullptr;
}

void TSlide::ObjectsChanged(TSlideObjects*, TDavazozavPlugin* Obj, bool Rebuild) {
  if (OnChange) OnChange(this, Obj, Rebuild);
}

void TSlide::Click() {
  if (TDavazozavPlugin* Obj = CurrentObject()) Obj->Click();
}

void TSlide::MouseDown(void*, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (TDavazozavPlugin* Obj = CurrentObject()) Obj->MouseDown(Button, Shift, X, Y);
}

void TSlide::MouseMove(void*, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (TDavazozavPlugin* Obj = CurrentObject()) Obj->MouseMove(Shift, X, Y);
}

void TSlide::MouseUp(void*, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (TDavazozavPlugin* Obj = CurrentObject()) Obj->MouseUp(Button, Shift, X, Y);
}

void TSlide::KeyPress(void*, TKeyChar& Key) {
  if (TDavazozavPlugin* Obj = CurrentObject()) Obj->KeyPress(Key);
}

void TSlide::KeyDown(void*, std::uint16_t& Key, TShiftState Shift) {
  if (TDavazozavPlugin* Obj = CurrentObject()) Obj->KeyDown(Key, Shift);
}

void TSlide::KeyUp(void*, std::uint16_t& Key, TShiftState Shift) {
  if (TDavazozavPlugin* Obj = CurrentObject()) Obj->KeyUp(Key, Shift);
}
