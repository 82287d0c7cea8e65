// Temporary folders and loader clean-up shared by the loader and engine tests.
#pragma once

#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "component/ComponentRegistry.h"

// A fresh folder under /tmp, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/checkbook-test-XXXXXX";
    path = mkdtemp(pattern) ? pattern : "";
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string operator/(const std::string& name) const { return path + "/" + name; }

  std::string path;
};

// The folder of the test executable, where the fixture libraries are built.
inline std::string BesideExecutable(const std::string& name) {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

inline bool IsLoaded(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle != nullptr;
}

inline int ModuleCount(const ComponentRegistry& registry) {
  int count = 0;
  for (ComponentModule* module = registry.firstModule; module; module = module->nextModule) ++count;
  return count;
}

// The program's registry keeps its modules for the whole process; a test
// gives up the registry's references so the libraries unload between tests.
inline void ReleaseModules(ComponentRegistry& registry) {
  while (ComponentModule* module = registry.firstModule) {
    registry.firstModule = module->nextModule;
    module->Release();
  }
}
