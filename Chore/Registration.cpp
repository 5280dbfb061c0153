#include "Chore/Registration.h"

#include "SlideObjects/PIPSound.h"
#include "SlideObjects/PVPPicture.h"
#include "SlideObjects/PVPText.h"
#include "SlideObjects/PVPVideo.h"
#include "SlideObjects/BackgroundObjects.h"

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
      {"TTAPTypeWriter", nullptr},
      // The transitions.
      {"TTPRandomTransition", nullptr},
      {"TTPAlphablendingMMX", nullptr},
      {"TTPAlphablendingSmootherMMX", nullptr},
      {"TTPBoxAllSimultaneousTransition", nullptr},
      {"TTPBoxTopLeftToBottomRightTransition", nullptr},
      {"TTPBoxTopRightToBottomLeftTransition", nullptr},
      {"TTPBoxBottomRightToTopLeftTransition", nullptr},
      {"TTPBoxBottomLeftToTopRightTransition", nullptr},
      {"TTPBoxRandomLargeTransition", nullptr},
      {"TTPBoxRandomMediumTransition", nullptr},
      {"TTPBoxRandomSmallTransition", nullptr},
      {"TTPBoxCircleGrowTransition", nullptr},
      {"TTPBoxCircleShrinkTransition", nullptr},
      {"TTPBoxCircleRingTransition", nullptr},
      {"TTPBoxSmallCirclesTransition", nullptr},
      {"TTPBoxPicCircleTransition", nullptr},
      {"TTPBoxPicCircleFadeTransition", nullptr},
      {"TTPBoxMODEffektTransition", nullptr},
      {"TTPBoxRadarTransition", nullptr},
      {"TTPBoxSpriralRadarTransition", nullptr},
      {"TTPBoxQuarterRadarTransition", nullptr},
      {"TTPBoxQuarterSpiralRadarTransition", nullptr},
      {"TTPBoxPicRadarEffekt2Transition", nullptr},
      {"TTPBoxPicEffekt9Transition", nullptr},
      {"TTPBoxPicStarEffekt2Transition", nullptr},
      {"TTPBoxPicStarEffekt3Transition", nullptr},
      {"TTPBoxPicStarEffekt4Transition", nullptr},
      {"TTPBoxPicEffektHeartTransition", nullptr},
      {"TTPBoxPicEffekt13Transition", nullptr},
      {"TTPBoxPicSwirl2Transition", nullptr},
      {"TTPBoxPicEffekt1Transition", nullptr},
      {"TTPBoxPicEffekt2Transition", nullptr},
      {"TTPBoxPicEffekt3Transition", nullptr},
      {"TTPBoxPicEffekt4Transition", nullptr},
      {"TTPBoxPicEffekt5Transition", nullptr},
      {"TTPBoxPicEffekt6Transition", nullptr},
      {"TTPBoxPicEffekt7Transition", nullptr},
      {"TTPBoxPicEffekt8Transition", nullptr},
      {"TTPBoxPicEffekt10Transition", nullptr},
      {"TTPBoxPicEffekt11Transition", nullptr},
      {"TTPBoxPicEffekt12Transition", nullptr},
      {"TTPBoxPicEffekt15Transition", nullptr},
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
