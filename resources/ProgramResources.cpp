#include "resources/ProgramResources.h"

// Written by embed.cmake from checkbook.rc and resource.h.
extern const char* const kResourceScript;
extern const char* const kResourceHeader;

const layer::ResourceScript& ProgramResources() {
  static const layer::ResourceScript resources = layer::ParseResourceScript(kResourceScript, kResourceHeader);
  return resources;
}
