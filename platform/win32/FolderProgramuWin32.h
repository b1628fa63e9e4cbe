#pragma once
// The access list of a program's folder (ISystemPlikow::PrzygotujFolderProgramu).
#include <windows.h>

#include "platform/SystemPlikow.h"

namespace platforma {

// `sciezka` as the file calls take it (the extended form for a long path).
StanFolderuProgramu PrzygotujFolderProgramuWin32(const wchar_t* sciezka);

// The judgment of a folder with this owner and access list as it stands,
// the process's user being "the user" (whose own folder
// PrzygotujFolderProgramuWin32 protects again rather than judging it).
StanFolderuProgramu OcenFolderuProgramu(PSID wlasciciel, const ACL* lista);

}  // namespace platforma
