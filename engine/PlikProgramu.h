#pragma once
// Fixing the installation folder and fetching the program file into it.
#include "Srodowisko.h"

// FolderInstalacji := DyskInstalacji\FolderPakietu[\NazwaKatalogu], each
// level created when missing (one level per call; a missing parent of the
// drive text is not created) so that only the user, the system and the
// administrators may change it. False, after a notice, when a level belongs
// to another user or stays open to others: nothing may be installed there.
bool UstalFolderInstalacji(Srodowisko& s);

// Bar to 0, folder fixed, program file fetched. True when a new copy of the
// program file was stored.
bool PrzygotujPlikProgramu(Srodowisko& s);
