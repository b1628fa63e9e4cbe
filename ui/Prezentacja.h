#pragma once
// The pointer glide: moves the system pointer in small steps along a straight
// line to a screen point. Used by the agreement presentation (TFormMain's
// Timer1Timer, defined with it in Prezentacja.cpp) and by the acceptance
// handler of the installation page.
#include <cstdint>

#include "platform/Kursor.h"

// Glides from the pointer's current position to `cel`. `tempo` 0 makes the
// same steps without pauses; a negative one pauses longer near the target.
// The pointer is moved only while the installer is the active application;
// pending window messages are handled once at the end.
void PrzesunKursor(platforma::PunktEkranu cel, std::int32_t tempo, platforma::IKursor& kursor,
                   platforma::IZegar& zegar, platforma::IPetlaKomunikatow& petla);

// The same over the pointer, clock and pump of the application's backend.
void PrzesunKursor(platforma::PunktEkranu cel, std::int32_t tempo);
