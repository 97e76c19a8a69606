#pragma once
// Services whose libraries the first window does not need (the imaging library,
// HTTP, compound files, scanning, sound and video, the mail client's network)
// live in modules: shared objects beside the program, "libtressary-NAME.so",
// loaded on first use, so that start-up neither loads nor initialises those
// libraries. Each module exports one function, tressary_module_NAME, returning
// its service object. Tests and tools link the same code in; then that
// function is already there.
//
// A service's caller declares the entry weakly and asks through it:
//   extern "C" [[gnu::weak]] IService* tressary_module_NAME();
//   IService* service = LoadModule<IService>("NAME", tressary_module_NAME, &error);
#include <filesystem>
#include <string>

#include "platform/FileResult.h"

// The entry of module `name` called, or nullptr with the reason in `error` (the
// module missing or broken). `linked` is the entry when it is linked in (the
// weak declaration's address), else nullptr. Loads each module once; thread-safe.
// `call` calls an entry through its own type (a call through another function
// type is undefined, and the sanitizers say so).
void* LoadModuleEntry(const char* name, void* (*call)(void* entry), void* linked, std::string* error);

template <typename TService>
TService* LoadModule(const char* name, TService* (*linked)(), std::string* error = nullptr) {
  using TEntry = TService* (*)();
  auto call = [](void* entry) -> void* { return reinterpret_cast<TEntry>(entry)(); };
  return static_cast<TService*>(LoadModuleEntry(name, call, reinterpret_cast<void*>(linked), error));
}

// The same for a file routine: the service, or `cause` of `file` with the
// module's failure as the finding.
template <typename TService>
TFileResult<TService*> LoadFileModule(const char* name, TService* (*linked)(), TFileFault cause,
                                      const std::filesystem::path& file) {
  std::string missing;
  if (TService* service = LoadModule(name, linked, &missing)) return service;
  return FileError(cause, file, 0, std::move(missing));
}

// The file module `name` is loaded from.
std::string ModuleFileName(const char* name);
