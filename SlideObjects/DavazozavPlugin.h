#pragma once
// The base of every slide object: the stored timing part, the run state and
// the finishing rule, pause and resume, the input notifications and the
// change notification. The slide creates objects through their class, lets
// them read their payload, then starts, steps, polls and stops them.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "PluginEngine/Plugins.h"
#include "Platform/Core/Types.h"
#include "Tools/FileNames.h"

class TCKSStream;
class TDavazozavPlugin;
class PlayerWindow;
namespace platform {
class Canvas;
}

// Mouse buttons and held modifier keys as the window events deliver them.
enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
using TShiftState = std::uint16_t;  // ssShift 1, ssAlt 2, ssCtrl 4, ssLeft 8, ssRight 16, ssMiddle 32
using TKeyChar = char;              // an 8-bit character of the key-press event

// Class-level operations of the slide objects, answered by each class
// without an instance.
class TDavazozavPluginClass : public TPluginClass {
public:
  // Name of the class's thumbnail bitmap among the program's resources.
  virtual std::string ThumbnailResourceName() const { return {}; }
  // Whether the class is offered in the authoring program's object lists.
  virtual bool AppearInList() const { return true; }
  // Draws the thumbnail at natural size centred in the area.
  bool DrawThumbnail(std::int32_t Left, std::int32_t Top, std::int32_t AreaWidth, std::int32_t AreaHeight,
                     platform::Canvas* Canvas) const;
  // Draws the thumbnail fitted into MaxWidth x MaxHeight (-1: natural size).
  // The player carries no thumbnail bitmaps, so there is nothing to draw.
  virtual bool DrawThumbnailSized(std::int32_t Left, std::int32_t Top, std::int32_t AreaWidth,
                                  std::int32_t AreaHeight, std::int32_t MaxWidth, std::int32_t MaxHeight,
                                  platform::Canvas* Canvas) const;
};

// (Sender, Rebuild): an object reports that something affecting the slide
// changed; Rebuild asks for the slide's display to be rebuilt.
using TDavazozavChangeEvent = std::function<void(TDavazozavPlugin* Sender, bool Rebuild)>;

class TDavazozavPlugin : public TPlugin {
  LMO_PLUGIN_WITH_CLASS(TDavazozavPlugin, TPlugin, TDavazozavPluginClass)
public:
  // The class-level operations of this object's class.
  const TDavazozavPluginClass& SlideObjectClass() const;

  TDavazozavPlugin() = default;
  ~TDavazozavPlugin() override;
  TDavazozavPlugin(const TDavazozavPlugin&) = delete;
  TDavazozavPlugin& operator=(const TDavazozavPlugin&) = delete;

  // Copies every field of a slide object source, the handler and PlayerForm
  // included; sources of other kinds are ignored.
  void Assign(const TPlugin* Source) override;

  // Finishing rule: the work is done (State 2) and, by timing mode, the
  // duration has passed (0), a key or button went down since Start (1), or
  // nothing more (any other mode).
  virtual bool IsFinished();
  virtual void Changed() { DoChange(true); }
  virtual void DoPause() {}
  virtual void DoResume() {}
  virtual std::string OptionsFrameClassName() const { return {}; }
  virtual void SaveToStream(TCKSStream& Stream);
  virtual void LoadFromStream(TCKSStream& Stream);
  virtual std::string DisplayName() const { return {}; }
  // Options frames belong to the authoring program; none is registered in
  // the player, so nothing is ever created.
  virtual void CreateOptions(void* Parent);
  virtual void FreeOptions(void* Parent);
  virtual void ReleaseResources() {}
  virtual std::vector<std::string> UsedFilenames() const { return {}; }
  virtual std::vector<std::string> UsedProgramFilenames() const { return {}; }
  virtual void MoveFilesTo(const std::string& Folder) { (void)Folder; }
  virtual void FileCopiedAs(const std::string& OldName, const std::string& NewName) {
    (void)OldName;
    (void)NewName;
  }
  virtual std::string InsertCaption() const { return {}; }

  // Lifecycle, called by the slide on its current object only.
  virtual void Start(PlayerWindow* Form);
  virtual void Stop();
  virtual void Step() {}
  void Pause();
  void Resume();

  // Input notifications.
  virtual void Click() { MouseClicked = true; }
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void KeyPress(TKeyChar& Key);
  virtual void KeyDown(std::uint16_t& Key, TShiftState Shift);
  virtual void KeyUp(std::uint16_t& Key, TShiftState Shift);

  void SetOnChange(TDavazozavChangeEvent Handler) { OnChange = std::move(Handler); }
  void DoChange(bool Rebuild);

  // Fields, in the order the system declares them.
  TDavazozavChangeEvent OnChange;
  bool KeyPressed = false;
  bool MouseClicked = false;
  bool Paused = false;
  std::uint8_t TimingMode = 0;  // stored
  std::uint32_t Duration = 0;   // stored, milliseconds
  std::uint8_t State = 0;       // 0 started, 1 running, 2 done
  std::uint32_t StartTick = 0;
  PlayerWindow* PlayerForm = nullptr;  // not owned

protected:
  // Destructors of concrete classes call this first: Stop, then
  // ReleaseResources, while the object is still of its own class.
  void Finish();

private:
  bool Finished_ = false;
};

// Invisible slide objects (sounds): adds nothing.
class TDavazozavInvisiblePlugin : public TDavazozavPlugin {
  LMO_PLUGIN(TDavazozavInvisiblePlugin, TDavazozavPlugin)
};

// The platform's invalid-type error: an object is not of the class expected.
class EInvalidCast : public std::runtime_error {
public:
  EInvalidCast() : std::runtime_error("Ung\xC3\xBCltige Typumwandlung") {}
};

// Creates an instance of a slide object class found in the registry; a class
// of another plug-in kind fails with an invalid-type error.
std::unique_ptr<TDavazozavPlugin> CreateSlideObject(TPluginClassRef Class);
// The class registered under Name, or none for the empty or an unregistered name.
TPluginClassRef FindPluginOrNone(const std::string& Name);
