#include "engine/FileLock.h"

#include <cstdint>

#ifdef _WIN32
#include <windows.h>

#include <string>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

// Far beyond any size a database file reaches and beyond the bytes SQLite
// locks itself (from 1 GiB up), so the lock never stands in a reader's way.
constexpr uint64_t kLockOffset = uint64_t{1} << 62;

}  // namespace

#ifdef _WIN32

bool FileLock::Acquire(const char* path) {
  Release();
  if (!path || !*path) return false;
  int wide = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
  if (wide <= 0) return false;
  std::wstring name(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path, -1, name.data(), wide);
  HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(kLockOffset & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(kLockOffset >> 32);
  if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    CloseHandle(file);
    return false;
  }
  handle = file;
  return true;
}

void FileLock::Release() {
  if (handle == kNone) return;
  // Closing the handle drops the lock.
  CloseHandle(static_cast<HANDLE>(handle));
  handle = kNone;
}

#else

namespace {

// Linux's open-file-description locks belong to this descriptor alone, so
// SQLite closing its own descriptors on the file never drops this lock, and a
// second holder in the same process is refused too. Elsewhere the classic
// per-process lock serves, which SQLite's own closing would drop only at the
// very end, when the database is closed anyway.
#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
#else
constexpr int kSetLock = F_SETLK;
#endif

bool LockByte(int fd, short type) {
  struct flock lock = {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(sizeof(off_t) >= 8 ? kLockOffset : 0x7FFFFFF0u);
  lock.l_len = 1;
  lock.l_pid = 0;
  int result;
  while ((result = fcntl(fd, kSetLock, &lock)) != 0 && errno == EINTR) {
  }
  return result == 0;
}

}  // namespace

bool FileLock::Acquire(const char* path) {
  Release();
  if (!path || !*path) return false;
  // A write lock needs a descriptor open for writing; a file this user may
  // only read still keeps out a second reader-writer through a read lock.
  short type = F_WRLCK;
  int fd = open(path, O_RDWR | O_CLOEXEC);
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
    type = F_RDLCK;
    fd = open(path, O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0) return false;
  if (!LockByte(fd, type)) {
    close(fd);
    return false;
  }
  handle = fd;
  return true;
}

void FileLock::Release() {
  if (handle == kNone) return;
  // Closing the descriptor drops the lock.
  close(handle);
  handle = kNone;
}

#endif
