#pragma once
// The twenty-two registered mask-picture transitions: a caption and a mask
// file in the program's data folder each.
#include <string>

#include "Tools/MediaFiles.h"
#include "Transitions/BoxPicTransition.h"

#define LMO_BOX_PIC_TRANSITION(Class, CaptionText, MaskFile)                               \
  class Class##Class : public TTPBoxPicTransition::TMetaClass {                            \
  public:                                                                                  \
    std::string Caption() const override { return CaptionText; }                           \
    std::string PicFilename() const override { return GetProgramDataFolder() + MaskFile; } \
  };                                                                                       \
  class Class : public TTPBoxPicTransition {                                               \
    LMO_PLUGIN_WITH_CLASS(Class, TTPBoxPicTransition, Class##Class)                        \
  };

// Class names, captions and mask files follow no common numbering; captions
// are Windows-1252 text.
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt1Transition, "Effekt 1", "hairs.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt2Transition, "Effekt 2", "hairs1.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt3Transition, "Effekt 3", "effekt1.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt4Transition, "Effekt 4", "effekt2.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt5Transition, "Effekt 5", "effekt3.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt6Transition, "Effekt 6", "effekt4.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt7Transition, "Effekt 7", "effekt5.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt8Transition, "Effekt 8", "effekt6.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt9Transition, "Stern 1", "StarEffekt.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt10Transition, "Effekt 9", "effekt7.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt11Transition, "Effekt 10", "effekt8.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt12Transition, "Effekt 11", "effekt9.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt13Transition, "Abfluss", "swirl.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffektHeartTransition, "Herz", "heart.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicStarEffekt2Transition, "Stern 2", "stareffekt1.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicStarEffekt3Transition, "Stern 3", "stareffekt2.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicStarEffekt4Transition, "Stern 4", "stareffekt3.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicRadarEffekt2Transition, "Radar 2", "radar1.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicCircleTransition, "Kreise", "drops.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicCircleFadeTransition, "Kreise (\xDC" "bergang)", "dropsfade.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicEffekt15Transition, "Effekt 13", "effekt11.jpg")
LMO_BOX_PIC_TRANSITION(TTPBoxPicSwirl2Transition, "Sog", "swirl1.jpg")

#undef LMO_BOX_PIC_TRANSITION
