// An operating-system lock on one byte of the database file, far past any
// byte the database itself locks, so readers such as the sqlite3 command are
// never held up. Only one holder at a time, in this process or any other; the
// kernel drops it when the holder's process ends, however it ends.
#pragma once

class FileLock {
 public:
  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock() { Release(); }

  // False when the file cannot be opened or another holder has the lock.
  // path is UTF-8.
  bool Acquire(const char* path);
  void Release();
  bool Held() const { return handle != kNone; }

 private:
#ifdef _WIN32
  using Handle = void*;
  static constexpr Handle kNone = nullptr;
#else
  using Handle = int;
  static constexpr Handle kNone = -1;
#endif
  Handle handle = kNone;
};
