// LoadLibraryA, GetProcAddress, FreeLibrary, GetModuleHandleA and
// GetModuleFileNameA over dlopen.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

#include "platform/system/modules.h"
#include "platform/win32.h"

namespace {

std::string ExecutableFolder() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return {};
  path[length] = '\0';
  char* slash = std::strrchr(path, '/');
  return slash ? std::string(path, slash) : std::string();
}

// Backslashes are path separators, as on Windows. A bare file name is looked
// up beside the executable, as Windows looks first; never in the current
// directory, where anyone could leave a library to be loaded.
std::string ModulePath(const char* fileName) {
  std::string name(fileName);
  std::replace(name.begin(), name.end(), '\\', '/');
  if (name.find('/') != std::string::npos) return name;
  std::string folder = ExecutableFolder();
  return folder.empty() ? std::string() : folder + "/" + name;
}

// dlsym also searches a library's dependencies; Windows finds only the
// module's own exports.
bool DefinedIn(HMODULE module, const void* address) {
  link_map* moduleMap = nullptr;
  link_map* addressMap = nullptr;
  Dl_info info;
  if (dlinfo(module, RTLD_DI_LINKMAP, &moduleMap) != 0) return false;
  if (!dladdr1(address, &info, reinterpret_cast<void**>(&addressMap), RTLD_DL_LINKMAP)) return false;
  return moduleMap == addressMap;
}

void* OwnSymbol(HMODULE module, const char* name) {
  void* address = dlsym(module, name);
  return address && DefinedIn(module, address) ? address : nullptr;
}

}  // namespace

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
  if (!fileName || !*fileName) return nullptr;
  std::string path = ModulePath(fileName);
  if (path.empty()) return nullptr;
  return static_cast<HMODULE>(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
  // Exports by ordinal (a small integer in place of the name) do not exist here.
  if (!module || !name || IS_INTRESOURCE(name)) return nullptr;
  void* address = OwnSymbol(module, name);
  if (!address) {
    auto* table = static_cast<const ComponentExport*>(OwnSymbol(module, COMPONENT_EXPORTS_SYMBOL));
    for (; table && table->name; ++table) {
      if (std::strcmp(table->name, name) == 0) {
        address = table->address;
        break;
      }
    }
  }
  return reinterpret_cast<FARPROC>(address);
}

BOOL WINAPI FreeLibrary(HMODULE module) { return module && dlclose(module) == 0 ? TRUE : FALSE; }

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
  if (!name) {
    static void* program = dlopen(nullptr, RTLD_NOW);
    return static_cast<HMODULE>(program);
  }
  // Only a module that is loaded already; the handle takes no reference.
  std::string path = ModulePath(name);
  if (path.empty()) return nullptr;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return static_cast<HMODULE>(handle);
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  std::string path;
  if (module == nullptr || module == GetModuleHandleA(nullptr)) {
    char program[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", program, sizeof program);
    if (length > 0) path.assign(program, static_cast<size_t>(length));
  } else {
    link_map* map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name) path = map->l_name;
  }
  if (path.empty() || !buffer || size == 0) return 0;
  // As on Windows: a name cut short still ends in a terminator, and the answer is the size.
  if (path.size() >= size) {
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = '\0';
    return size;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

// This layer never looks for a library in the current directory, so there is
// nothing to take out of the search.
BOOL WINAPI SetDllDirectoryA(LPCSTR) { return TRUE; }
