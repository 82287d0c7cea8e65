// The component's one export: the factory that hands out engine objects.
#include <cstdint>
#include <cstring>
#include <new>

#include "engine/SqliteEngine.h"

extern "C" void* CreateInstance(const char* componentName, uint32_t version, void* module) {
  if (!componentName || std::strcmp(componentName, kEngineName) != 0) return nullptr;
  // The interface only grows at its end, so an older program's version is served too.
  if (version < kEngineFirstVersion || version > kEngineVersion) return nullptr;
  DatabaseEngine* engine = new (std::nothrow) SqliteEngine(static_cast<RefCounted*>(module));
  return engine;
}

#ifndef _WIN32
// Windows exports the factory under its decorated name through
// REDivizud.def; ELF names cannot hold it, so it is listed here.
#include "platform/system/modules.h"

extern "C" {
__attribute__((visibility("default"))) extern const ComponentExport ComponentExports[];
const ComponentExport ComponentExports[] = {
    {kFactoryExportName, reinterpret_cast<void*>(&CreateInstance)},
    {nullptr, nullptr},
};
}
#endif
