#include "component/ComponentRegistry.h"
#include "component/DatabaseEngine.h"

DatabaseEngine* LoadDatabaseEngine(ComponentRegistry& registry) {
  return static_cast<DatabaseEngine*>(registry.LoadComponent(kEngineFileName, kEngineName, kEngineVersion));
}
