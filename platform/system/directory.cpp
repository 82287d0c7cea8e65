// GetCurrentDirectoryA and SetCurrentDirectoryA over getcwd and chdir.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include "platform/win32.h"

DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  std::string dir;
  std::string scratch(PATH_MAX, '\0');
  if (getcwd(scratch.data(), scratch.size()) == nullptr) return 0;
  dir = scratch.c_str();
  // Like Windows: the length without the terminator when it fits, otherwise
  // the size needed including it, and the buffer is left alone.
  if (buffer == nullptr || size <= dir.size()) return static_cast<DWORD>(dir.size() + 1);
  std::memcpy(buffer, dir.c_str(), dir.size() + 1);
  return static_cast<DWORD>(dir.size());
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR folder) { return folder && chdir(folder) == 0 ? TRUE : FALSE; }
