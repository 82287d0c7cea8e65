// Loader helpers shared by the loader, engine and settings tests.
#pragma once

#include <filesystem>
#include <string>

#include "component/ComponentRegistry.h"
#include "tests/support/TempFolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

// The folder of the test executable, where the fixture libraries are built.
inline std::string BesideExecutable(const std::string& name) {
#ifdef _WIN32
  char self[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  return (std::filesystem::path(std::string(self, length)).parent_path() / name).string();
#else
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
#endif
}

inline bool IsLoaded(const std::string& path) {
#ifdef _WIN32
  return GetModuleHandleA(path.c_str()) != nullptr;
#else
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle != nullptr;
#endif
}

// A data symbol the fixture library exports under its plain name.
inline void* FindData(HMODULE module, const char* name) {
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(module, name));
#else
  return dlsym(module, name);
#endif
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
