#include <cstdio>

#include "io/CommandLine.h"
#include "platform/win32.h"

int main(int argc, char** argv) {
  // The process speaks UTF-8 (its manifest); so does what it prints.
  SetConsoleOutputCP(CP_UTF8);
  return RunCheckbookIo(argc, argv, stdout, stderr);
}
