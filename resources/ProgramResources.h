// The program's own dialogs, menu and icon on POSIX systems: the .rc script
// and resource.h embedded at build time, parsed once.
#pragma once

#include "platform/dialog/resource_script.h"

const layer::ResourceScript& ProgramResources();

// Hands them to the dialog manager, as the program's entry does.
inline void UseProgramResources() { layer::UseResources(&ProgramResources()); }
