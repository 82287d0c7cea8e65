// make_ledger ROWS FILE: writes a register of ROWS transactions to FILE (which
// must not exist yet) through the engine component.
#include <cstdio>
#include <cstdlib>

#include "bench/DataSet.h"
#include "component/ComponentRegistry.h"
#include "component/DatabaseEngine.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_ledger ROWS FILE\n");
    return 2;
  }
  ComponentRegistry registry;
  auto* engine = LoadDatabaseEngine(registry);
  if (engine == nullptr || engine->Open(argv[2]) == 0) {
    std::fprintf(stderr, "make_ledger: cannot open %s\n", argv[2]);
    return 1;
  }
  bool written = FillLedger(engine, std::atoi(argv[1]));
  if (!written) std::fprintf(stderr, "make_ledger: %s\n", engine->LastError());
  engine->Close();
  engine->Release();
  return written ? 0 : 1;
}
