// Keeps the module holding `symbol` loaded to the end of the process. The libraries the codecs
// modules load keep process-wide state they allocate at first use and never free; unloading them
// would strand that memory.
#pragma once

#include <dlfcn.h>

namespace adv {

inline bool PinModule(void* symbol) {
  Dl_info info;
  return dladdr(symbol, &info) != 0 &&
         dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
}

}  // namespace adv
