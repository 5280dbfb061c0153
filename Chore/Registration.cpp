#include "Chore/Registration.h"

#include "SlideObjects/PIPSound.h"
#include "SlideObjects/PVPPicture.h"
#include "SlideObjects/PVPText.h"
#include "SlideObjects/PVPVideo.h"
#include "SlideObjects/BackgroundObjects.h"
#include "TextAnimations/TypeWriter.h"
#include "Transitions/TransitionClasses.h"

namespace {

// One row per table position. A row whose class does not exist yet has no
// class reference; it gets one when its class is written, in its place.
struct TRegistrationRow {
  std::string_view Name;
  TPluginClassRef (*Class)();
};

template <class T>
TPluginClassRef ClassOf() {
  return T::StaticClass();
}

const std::vector<TRegistrationRow>& Rows() {
  static const std::vector<TRegistrationRow> Table = {
      // The text animation.
      {"TTAPTypeWriter", &ClassOf<TTAPTypeWriter>},
      // The transitions.
      {"TTPRandomTransition", &ClassOf<TTPRandomTransition>},
      {"TTPAlphablendingMMX", &ClassOf<TTPAlphablendingMMX>},
      {"TTPAlphablendingSmootherMMX", &ClassOf<TTPAlphablendingSmootherMMX>},
      {"TTPBoxAllSimultaneousTransition", &ClassOf<TTPBoxAllSimultaneousTransition>},
      {"TTPBoxTopLeftToBottomRightTransition", &ClassOf<TTPBoxTopLeftToBottomRightTransition>},
      {"TTPBoxTopRightToBottomLeftTransition", &ClassOf<TTPBoxTopRightToBottomLeftTransition>},
      {"TTPBoxBottomRightToTopLeftTransition", &ClassOf<TTPBoxBottomRightToTopLeftTransition>},
      {"TTPBoxBottomLeftToTopRightTransition", &ClassOf<TTPBoxBottomLeftToTopRightTransition>},
      {"TTPBoxRandomLargeTransition", &ClassOf<TTPBoxRandomLargeTransition>},
      {"TTPBoxRandomMediumTransition", &ClassOf<TTPBoxRandomMediumTransition>},
      {"TTPBoxRandomSmallTransition", &ClassOf<TTPBoxRandomSmallTransition>},
      {"TTPBoxCircleGrowTransition", &ClassOf<TTPBoxCircleGrowTransition>},
      {"TTPBoxCircleShrinkTransition", &ClassOf<TTPBoxCircleShrinkTransition>},
      {"TTPBoxCircleRingTransition", &ClassOf<TTPBoxCircleRingTransition>},
      {"TTPBoxSmallCirclesTransition", &ClassOf<TTPBoxSmallCirclesTransition>},
      {"TTPBoxPicCircleTransition", &ClassOf<TTPBoxPicCircleTransition>},
      {"TTPBoxPicCircleFadeTransition", &ClassOf<TTPBoxPicCircleFadeTransition>},
      {"TTPBoxMODEffektTransition", &ClassOf<TTPBoxMODEffektTransition>},
      {"TTPBoxRadarTransition", &ClassOf<TTPBoxRadarTransition>},
      {"TTPBoxSpriralRadarTransition", &ClassOf<TTPBoxSpriralRadarTransition>},
      {"TTPBoxQuarterRadarTransition", &ClassOf<TTPBoxQuarterRadarTransition>},
      {"TTPBoxQuarterSpiralRadarTransition", &ClassOf<TTPBoxQuarterSpiralRadarTransition>},
      {"TTPBoxPicRadarEffekt2Transition", &ClassOf<TTPBoxPicRadarEffekt2Transition>},
      {"TTPBoxPicEffekt9Transition", &ClassOf<TTPBoxPicEffekt9Transition>},
      {"TTPBoxPicStarEffekt2Transition", &ClassOf<TTPBoxPicStarEffekt2Transition>},
      {"TTPBoxPicStarEffekt3Transition", &ClassOf<TTPBoxPicStarEffekt3Transition>},
      {"TTPBoxPicStarEffekt4Transition", &ClassOf<TTPBoxPicStarEffekt4Transition>},
      {"TTPBoxPicEffektHeartTransition", &ClassOf<TTPBoxPicEffektHeartTransition>},
      {"TTPBoxPicEffekt13Transition", &ClassOf<TTPBoxPicEffekt13Transition>},
      {"TTPBoxPicSwirl2Transition", &ClassOf<TTPBoxPicSwirl2Transition>},
      {"TTPBoxPicEffekt1Transition", &ClassOf<TTPBoxPicEffekt1Transition>},
      {"TTPBoxPicEffekt2Transition", &ClassOf<TTPBoxPicEffekt2Transition>},
      {"TTPBoxPicEffekt3Transition", &ClassOf<TTPBoxPicEffekt3Transition>},
      {"TTPBoxPicEffekt4Transition", &ClassOf<TTPBoxPicEffekt4Transition>},
      {"TTPBoxPicEffekt5Transition", &ClassOf<TTPBoxPicEffekt5Transition>},
      {"TTPBoxPicEffekt6Transition", &ClassOf<TTPBoxPicEffekt6Transition>},
      {"TTPBoxPicEffekt7Transition", &ClassOf<TTPBoxPicEffekt7Transition>},
      {"TTPBoxPicEffekt8Transition", &ClassOf<TTPBoxPicEffekt8Transition>},
      {"TTPBoxPicEffekt10Transition", &ClassOf<TTPBoxPicEffekt10Transition>},
      {"TTPBoxPicEffekt11Transition", &ClassOf<TTPBoxPicEffekt11Transition>},
      {"TTPBoxPicEffekt12Transition", &ClassOf<TTPBoxPicEffekt12Transition>},
      {"TTPBoxPicEffekt15Transition", &ClassOf<TTPBoxPicEffekt15Transition>},
      // The slide objects. TPVPBackground is not registered: every slide makes
      // its own.
      {"TPVPText", &ClassOf<TPVPText>},
      {"TPVPColorRect", &ClassOf<TPVPColorRect>},
      {"TPVPPicture", &ClassOf<TPVPPicture>},
      {"TPIPSound", &ClassOf<TPIPSound>},
      {"TPIPSoundWizardSound", &ClassOf<TPIPSoundWizardSound>},
      {"TPVPVideo", &ClassOf<TPVPVideo>},
  };
  return Table;
}

}  // namespace

void RegisterPluginClasses(TPlugins& Registry) {
  for (const TRegistrationRow& Row : Rows())
    if (Row.Class) Registry.RegisterPlugin(Row.Class());
}

const std::vector<std::string_view>& RegistrationTable() {
  static const std::vector<std::string_view> Names = [] {
    std::vector<std::string_view> Result;
    for (const TRegistrationRow& Row : Rows()) Result.push_back(Row.Name);
    return Result;
  }();
  return Names;
}
