#include <cstdio>

#include "io/CommandLine.h"

int main(int argc, char** argv) { return RunCheckbookIo(argc, argv, stdout, stderr); }
