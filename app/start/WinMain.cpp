#include "app/start/Startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Before any library is loaded: the current folder holds the user's data,
  // never code to run.
  SetDllDirectoryA("");
  return RunCheckbook(instance);
}
