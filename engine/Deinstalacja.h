#pragma once
// The removal of an earlier installation.
#include "Srodowisko.h"

void BBDeinstalClick(Srodowisko& s);
