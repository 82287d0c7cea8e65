// CreateFileA and CloseHandle over open and close, the standard handles and
// their kind, and the console's code page. A file the call creates
// is its owner's alone (0600) whatever the umask, since what the program
// writes is nobody else's business; a file that exists keeps its mode.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/win32.h"

namespace {

int AccessFlags(DWORD access) {
  bool read = (access & GENERIC_READ) != 0, write = (access & GENERIC_WRITE) != 0;
  return read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
}

// Creates the file with O_EXCL, so the mode is set only on a file this call
// made; -1 with errno EEXIST when it is there already.
int CreateOwnerOnly(LPCSTR name, int flags) {
  int fd = open(name, flags | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0) fchmod(fd, 0600);  // a umask may have taken the owner's bits too
  return fd;
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD,
                          HANDLE) {
  if (name == nullptr || *name == '\0') return INVALID_HANDLE_VALUE;
  const int flags = AccessFlags(access);
  int fd = -1;
  switch (disposition) {
    case CREATE_NEW:
      fd = CreateOwnerOnly(name, flags);
      break;
    case OPEN_EXISTING:
      fd = open(name, flags | O_CLOEXEC);
      break;
    case TRUNCATE_EXISTING:
      fd = open(name, flags | O_TRUNC | O_CLOEXEC);
      break;
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
      // Created, or else opened as it is; a file removed between the two
      // attempts is created again.
      for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        fd = CreateOwnerOnly(name, flags);
        if (fd >= 0 || errno != EEXIST) break;
        fd = open(name, flags | O_CLOEXEC | (disposition == CREATE_ALWAYS ? O_TRUNC : 0));
        if (fd < 0 && errno != ENOENT) break;
      }
      break;
    default:
      break;
  }
  return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd));
}

BOOL WINAPI CloseHandle(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return FALSE;
  return close(static_cast<int>(reinterpret_cast<intptr_t>(handle))) == 0 ? TRUE : FALSE;
}

HANDLE WINAPI GetStdHandle(DWORD which) {
  switch (which) {
    case STD_INPUT_HANDLE: return reinterpret_cast<HANDLE>(intptr_t{0});
    case STD_OUTPUT_HANDLE: return reinterpret_cast<HANDLE>(intptr_t{1});
    case STD_ERROR_HANDLE: return reinterpret_cast<HANDLE>(intptr_t{2});
    default: return INVALID_HANDLE_VALUE;
  }
}

DWORD WINAPI GetFileType(HANDLE file) {
  struct stat info;
  if (file == INVALID_HANDLE_VALUE || fstat(static_cast<int>(reinterpret_cast<intptr_t>(file)), &info) != 0)
    return FILE_TYPE_UNKNOWN;
  if (S_ISCHR(info.st_mode)) return FILE_TYPE_CHAR;
  if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) return FILE_TYPE_PIPE;
  return FILE_TYPE_DISK;
}

// A terminal shows the bytes it is given in its own encoding, UTF-8 here.
BOOL WINAPI SetConsoleOutputCP(UINT codePage) { return codePage == CP_UTF8 ? TRUE : FALSE; }
