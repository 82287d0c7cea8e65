// How a component exports its functions on POSIX systems. ELF symbol names
// cannot carry the factory's Windows export name ("@@" reads as a symbol
// version), so a component lists its exports in a table under one plain
// symbol, which GetProcAddress searches after dlsym.
#pragma once

struct ComponentExport {
  const char* name;  // the export name, compared exactly
  void* address;
};

// The symbol of the table; the table ends with a null name.
#define COMPONENT_EXPORTS_SYMBOL "ComponentExports"
