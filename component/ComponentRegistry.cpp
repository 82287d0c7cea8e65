#include "component/ComponentRegistry.h"

#include <cstring>
#include <new>
#include <string>

namespace {

// A bare file name is loaded by the full path of the program's own folder. Left
// to the system's search, Windows would also try the current folder, and the
// data folder (often shared or downloaded) is no place to run code from.
std::string PathBesideProgram(const char* fileName) {
  if (std::strpbrk(fileName, "\\/:")) return fileName;
  std::string program(MAX_PATH, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, program.data(), static_cast<DWORD>(program.size()));
    if (length == 0) return {};
    if (length < program.size()) {
      program.resize(length);
      break;
    }
    program.resize(program.size() * 2);  // cut short: try again with more room
  }
  std::string::size_type separator = program.find_last_of("\\/");
  if (separator == std::string::npos) return {};
  return program.substr(0, separator + 1) + fileName;
}

}  // namespace

void ComponentModule::AddRef() { ++refCount; }

void ComponentModule::Release() {
  if (--refCount > 0) return;
  if (moduleHandle) FreeLibrary(moduleHandle);
  delete this;
}

void* ComponentModule::CreateObject(const char* componentName, uint32_t version) {
  if (!moduleHandle || !factory) return nullptr;
  return factory(componentName, version, static_cast<RefCounted*>(this));
}

ComponentModule* ComponentRegistry::FindModule(const char* fileName) {
  if (!fileName) return nullptr;
  for (ComponentModule* module = firstModule; module; module = module->nextModule) {
    if (std::strcmp(module->fileName, fileName) == 0) return module;
  }
  return nullptr;
}

void* ComponentRegistry::LoadComponent(const char* fileName, const char* componentName, uint32_t version) {
  ComponentModule* module = FindModule(fileName);
  if (!module) {
    // A name that fileName cannot hold whole would never be found again and
    // would load the DLL anew on every call.
    if (!fileName || std::strlen(fileName) >= sizeof module->fileName) return nullptr;
    std::string path = PathBesideProgram(fileName);
    HMODULE handle = path.empty() ? nullptr : LoadLibraryA(path.c_str());
    if (!handle) return nullptr;
    // FARPROC is a generic function pointer; go through void (*)() to the real type.
    auto factory = reinterpret_cast<ComponentFactory>(
        reinterpret_cast<void (*)()>(GetProcAddress(handle, kFactoryExportName)));
    module = factory ? new (std::nothrow) ComponentModule : nullptr;
    if (!module) {
      FreeLibrary(handle);
      return nullptr;
    }
    module->moduleHandle = handle;
    module->factory = factory;
    std::strcpy(module->fileName, fileName);
    if (firstModule) {
      firstModule->prevModule = module;
      module->nextModule = firstModule;
    }
    firstModule = module;
  }
  return module->CreateObject(componentName, version);
}
