// checkbook_floor FILE: what any program on the engine interface pays. Loads
// the engine component, opens FILE, runs the statements read from standard
// input (one a line) with a row callback that does nothing, and closes.
#include <cstdio>
#include <iostream>
#include <string>

#include "component/ComponentRegistry.h"
#include "component/DatabaseEngine.h"

namespace {

int32_t IgnoreRow(void*, int32_t, char**, char**) { return 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: checkbook_floor FILE < statements\n");
    return 2;
  }
  ComponentRegistry registry;
  auto* engine = LoadDatabaseEngine(registry);
  if (engine == nullptr || engine->Open(argv[1]) == 0) {
    std::fprintf(stderr, "checkbook_floor: cannot open %s\n", argv[1]);
    return 1;
  }
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty()) engine->Execute(line.c_str(), nullptr, IgnoreRow);
  }
  engine->Close();
  engine->Release();
  return 0;
}
