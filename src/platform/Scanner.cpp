#include "platform/Scanner.h"

#include "platform/Module.h"

std::unique_ptr<IScanner> OpenSaneScanner(std::string* error) {
  IScannerModule* module = LoadModule("scanner", tressary_module_scanner, error);
  if (!module) return nullptr;
  std::unique_ptr<IScanner> scanner = module->Open();
  if (!scanner && error) *error = "The scanner library did not start.";
  return scanner;
}
