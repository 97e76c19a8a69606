#include "platform/Module.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

#include "platform/FileIO.h"

std::string ModuleFileName(const char* name) { return "libtressary-" + std::string(name) + ".so"; }

void* LoadModuleEntry(const char* name, void* (*call)(void* entry), void* linked, std::string* error) {
  // Modules load once a process and stay loaded; any thread may ask first.
  static std::mutex mutex;
  static std::map<std::string, void*> loaded;
  std::lock_guard lock(mutex);
  if (auto found = loaded.find(name); found != loaded.end()) return found->second;
  void* service = nullptr;
  if (linked) {
    service = call(linked);
  } else {
    const fs::path file = ExecutableDir() / ModuleFileName(name);
    // Never unloaded: its objects may outlive any caller.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    const std::string entry = "tressary_module_" + std::string(name);
    void* symbol = handle ? dlsym(handle, entry.c_str()) : nullptr;
    if (!symbol) {
      const char* reason = dlerror();
      if (error)
        *error = "The program's part " + ModuleFileName(name) + " is missing or damaged (" +
                 (reason ? reason : "no entry " + entry) + "); reinstall the program.";
      return nullptr;
    }
    service = call(symbol);
  }
  if (service) loaded.emplace(name, service);
  else if (error) *error = "The program's part " + ModuleFileName(name) + " did not start.";
  return service;
}
