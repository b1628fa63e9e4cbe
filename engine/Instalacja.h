#pragma once
// The install button: install, and afterwards start the installed program.
#include "Srodowisko.h"

void BBInstalClick(Srodowisko& s);
