// Loads component DLLs once each and creates interface objects through their
// factory export.
#pragma once

#include <cstdint>

#include "platform/win32.h"

class RefCounted {
 public:
  virtual void AddRef() = 0;
  virtual void Release() = 0;

 protected:
  ~RefCounted() = default;
};

// The factory every component exports; module is the ComponentModule that
// loaded it, seen as a RefCounted*.
typedef void* (*ComponentFactory)(const char* componentName, uint32_t version, void* module);

// The name under which a component exports its factory.
constexpr char kFactoryExportName[] = "?CreateInstance@@YAPAXPBDKPAX@Z";

class ComponentModule final : public RefCounted {
 public:
  ComponentModule() = default;
  ComponentModule(const ComponentModule&) = delete;
  ComponentModule& operator=(const ComponentModule&) = delete;

  void AddRef() override;
  void Release() override;  // at 0 the DLL is unloaded and the record freed

  // Calls the factory anew; null when there is no factory or it returns none.
  void* CreateObject(const char* componentName, uint32_t version);

  uint32_t refCount = 1;  // the registry's own reference
  HMODULE moduleHandle = nullptr;
  char fileName[256] = {};
  ComponentFactory factory = nullptr;
  ComponentModule* nextModule = nullptr;  // loaded before this one
  ComponentModule* prevModule = nullptr;  // loaded after this one
};

class ComponentRegistry {
 public:
  ComponentRegistry() = default;
  // Does nothing: loaded DLLs stay loaded until the process ends.
  ~ComponentRegistry() {}
  ComponentRegistry(const ComponentRegistry&) = delete;
  ComponentRegistry& operator=(const ComponentRegistry&) = delete;

  // The interface object, or null when the DLL cannot be loaded, lacks the
  // factory, or the factory returns none.
  void* LoadComponent(const char* fileName, const char* componentName, uint32_t version);
  // Exact, case-sensitive match on the name the DLL was loaded under.
  ComponentModule* FindModule(const char* fileName);

  ComponentModule* firstModule = nullptr;  // newest first, along nextModule
};
