#pragma once
// A scriptable slide object: it is done after a given number of steps (never
// with -1) and writes every lifecycle call, with its index, to a journal
// shared by the test.
#include <string>
#include <vector>

#include "SlideObjects/DavazozavPlugin.h"

class TTestSlideObject : public TDavazozavPlugin {
  LMO_PLUGIN(TTestSlideObject, TDavazozavPlugin)
public:
  ~TTestSlideObject() override { Finish(); }

  void Start(PlayerWindow* Form) override {
    Log("Start");
    // The Stop that Start runs first is not journalled: the journal shows
    // the slide's calls.
    InStart_ = true;
    TDavazozavPlugin::Start(Form);
    InStart_ = false;
    StepsDone = 0;
  }
  void Stop() override {
    if (!InStart_) Log("Stop");
    ++StopCalls;
    TDavazozavPlugin::Stop();
  }
  void Step() override {
    Log("Step");
    if (State == 2) return;
    ++StepsDone;
    if (StepsToFinish >= 0 && StepsDone >= StepsToFinish) State = 2;
  }
  void DoPause() override { Log("DoPause"); }
  void DoResume() override { Log("DoResume"); }
  void KeyDown(std::uint16_t& Key, TShiftState Shift) override {
    Log("KeyDown");
    TDavazozavPlugin::KeyDown(Key, Shift);
  }
  void MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y) override {
    Log("MouseMove");
    TDavazozavPlugin::MouseMove(Shift, X, Y);
  }

  void Log(const std::string& What) {
    if (Journal) Journal->push_back(What + " " + std::to_string(Index));
  }

  std::vector<std::string>* Journal = nullptr;
  int Index = 0;
  int StepsToFinish = 1;
  int StepsDone = 0;
  int StopCalls = 0;  // every Stop, also the one Start runs

private:
  bool InStart_ = false;
};
