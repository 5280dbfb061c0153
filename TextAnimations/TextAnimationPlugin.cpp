#include "TextAnimations/TextAnimationPlugin.h"

void TTextAnimationPlugin::Start(TPVPText* ATextObject, PlayerWindow* PlayerForm) {
  (void)PlayerForm;
  TextObject = ATextObject;
  FirstStep = true;
}
