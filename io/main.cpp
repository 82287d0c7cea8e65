#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

#include "io/CommandLine.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // The process speaks UTF-8 (its manifest); so does what it prints.
  SetConsoleOutputCP(CP_UTF8);
#endif
  return RunCheckbookIo(argc, argv, stdout, stderr);
}
