#include "SlideObjects/PlayerWindow.h"

PlayerWindow* KivoSlideShowPlayerForm = nullptr;
