#pragma once
// A slide: its own background plus an ordered list of slide objects, played
// one after the other. What an object drew stays on the stage, so a slide
// builds up object by object.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SlideObjects/BackgroundObjects.h"
#include "SlideObjects/DavazozavPlugin.h"

class TCKSStream;
class TSlide;
class TSlideObjects;

using TSlideObjectsChangeEvent = std::function<void(TSlideObjects* Sender, TDavazozavPlugin* Obj, bool Rebuild)>;
using TSlideChangeEvent = std::function<void(TSlide* Sender, TDavazozavPlugin* Obj, bool Rebuild)>;

// The slide's objects in file order; owns them.
class TSlideObjects {
public:
  TSlideObjects() = default;
  TSlideObjects(const TSlideObjects&) = delete;
  TSlideObjects& operator=(const TSlideObjects&) = delete;
  ~TSlideObjects();

  // Appends Obj, connects its change notification to this list and reports
  // it once with Rebuild; returns its index.
  std::int32_t AddObject(std::unique_ptr<TDavazozavPlugin> Obj);
  // The object at Index; null for -1 and for indexes outside the list.
  TDavazozavPlugin* Objects(std::int32_t Index) const;
  std::int32_t Count() const { return static_cast<std::int32_t>(Items_.size()); }

  void SetOnChange(TSlideObjectsChangeEvent Handler) { OnChange = std::move(Handler); }
  void ObjectChanged(TDavazozavPlugin* Obj, bool Rebuild);

  TSlideObjectsChangeEvent OnChange;

private:
  std::vector<std::unique_ptr<TDavazozavPlugin>> Items_;
};

class TSlide {
public:
  TSlide();
  TSlide(const TSlide&) = delete;
  TSlide& operator=(const TSlide&) = delete;
  virtual ~TSlide();

  // Reads the stored slide payload: an object count, then per object its
  // class name, a record size and the object's own data.
  void LoadFromStream(TCKSStream& Stream);
  // One step of the slide; false once the slide has ended.
  bool Step();
  TDavazozavPlugin* CurrentObject() const;
  // Move to the next or previous object and start it; true when there is no
  // further object in that direction.
  bool NextObject();
  bool PreviousObject();
  // Ask the next Step to skip forward or back; false when there is no object
  // in that direction (nothing changes then).
  bool RequestNextObject();
  bool RequestPreviousObject();
  void StopCurrentObject();
  void PauseCurrentObject();
  void ResumeCurrentObject();
  // No current object, no pending requests; the objects are not touched.
  void ResetPlayState();

  void SetOnChange(TSlideChangeEvent Handler) { OnChange = std::move(Handler); }
  void ObjectsChanged(TSlideObjects* Sender, TDavazozavPlugin* Obj, bool Rebuild);

  // Input, forwarded to the current object only; dropped without one.
  virtual void Click();
  virtual void MouseDown(void* Sender, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseMove(void* Sender, TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseUp(void* Sender, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void KeyPress(void* Sender, TKeyChar& Key);
  virtual void KeyDown(void* Sender, std::uint16_t& Key, TShiftState Shift);
  virtual void KeyUp(void* Sender, std::uint16_t& Key, TShiftState Shift);

  // Class names of records that were skipped because no class of that name
  // is registered, in file order (what lmotool reports).
  const std::vector<std::string>& UnregisteredClassNames() const { return UnregisteredClassNames_; }

  TSlideChangeEvent OnChange;
  // Destroyed after Objects: declared first.
  std::unique_ptr<TPVPBackground> Background;
  TSlideObjects Objects;
  std::int32_t CurrentIndex = -1;
  bool NextRequested = false;
  bool PreviousRequested = false;
  TPVPBackground* PendingBackground = nullptr;  // not owned

private:
  std::vector<std::string> UnregisteredClassNames_;
};
