#include "platform/PrintSystem.h"

#include "platform/Module.h"

TPrintRefusal PrintSystemRefusal() {
  IPrintSystemModule* module = LoadModule("print", tressary_module_print);
  return module ? module->LastRefusal() : TPrintRefusal{};
}
