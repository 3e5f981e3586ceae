// The program's built-in modules as it named them (see built_in_modules.h).
#include "core/built_in_modules.h"

namespace {
BuiltInModules& Modules() {
  static BuiltInModules modules;
  return modules;
}
}  // namespace

void SetBuiltInModules(const BuiltInModules& modules) { Modules() = modules; }

const BuiltInModules& GetBuiltInModules() { return Modules(); }
