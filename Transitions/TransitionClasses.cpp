#include "Transitions/TransitionClasses.h"

const std::vector<TPluginClassRef>& TransitionClasses() {
  static const std::vector<TPluginClassRef> Classes = {
      TTPRandomTransition::StaticClass(),
      TTPAlphablendingMMX::StaticClass(),
      TTPAlphablendingSmootherMMX::StaticClass(),
      TTPBoxAllSimultaneousTransition::StaticClass(),
      TTPBoxTopLeftToBottomRightTransition::StaticClass(),
      TTPBoxTopRightToBottomLeftTransition::StaticClass(),
      TTPBoxBottomRightToTopLeftTransition::StaticClass(),
      TTPBoxBottomLeftToTopRightTransition::StaticClass(),
      TTPBoxRandomLargeTransition::StaticClass(),
      TTPBoxRandomMediumTransition::StaticClass(),
      TTPBoxRandomSmallTransition::StaticClass(),
      TTPBoxCircleGrowTransition::StaticClass(),
      TTPBoxCircleShrinkTransition::StaticClass(),
      TTPBoxCircleRingTransition::StaticClass(),
      TTPBoxSmallCirclesTransition::StaticClass(),
      TTPBoxPicCircleTransition::StaticClass(),
      TTPBoxPicCircleFadeTransition::StaticClass(),
      TTPBoxMODEffektTransition::StaticClass(),
      TTPBoxRadarTransition::StaticClass(),
      TTPBoxSpriralRadarTransition::StaticClass(),
      TTPBoxQuarterRadarTransition::StaticClass(),
      TTPBoxQuarterSpiralRadarTransition::StaticClass(),
      TTPBoxPicRadarEffekt2Transition::StaticClass(),
      TTPBoxPicEffekt9Transition::StaticClass(),
      TTPBoxPicStarEffekt2Transition::StaticClass(),
      TTPBoxPicStarEffekt3Transition::StaticClass(),
      TTPBoxPicStarEffekt4Transition::StaticClass(),
      TTPBoxPicEffektHeartTransition::StaticClass(),
      TTPBoxPicEffekt13Transition::StaticClass(),
      TTPBoxPicSwirl2Transition::StaticClass(),
      TTPBoxPicEffekt1Transition::StaticClass(),
      TTPBoxPicEffekt2Transition::StaticClass(),
      TTPBoxPicEffekt3Transition::StaticClass(),
      TTPBoxPicEffekt4Transition::StaticClass(),
      TTPBoxPicEffekt5Transition::StaticClass(),
      TTPBoxPicEffekt6Transition::StaticClass(),
      TTPBoxPicEffekt7Transition::StaticClass(),
      TTPBoxPicEffekt8Transition::StaticClass(),
      TTPBoxPicEffekt10Transition::StaticClass(),
      TTPBoxPicEffekt11Transition::StaticClass(),
      TTPBoxPicEffekt12Transition::StaticClass(),
      TTPBoxPicEffekt15Transition::StaticClass(),
  };
  return Classes;
}

void RegisterTransitionClasses(TPlugins& Registry) {
  for (TPluginClassRef Class : TransitionClasses()) Registry.RegisterPlugin(Class);
}
