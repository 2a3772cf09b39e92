// The module instance handle of the engine's windows and images.
#include "engine_instance.h"

#include "runtime/runtime_state.h"

namespace tavrin {

HINSTANCE EngineInstance() {
  HINSTANCE instance = Runtime().instance;
  return instance != nullptr ? instance : GetModuleHandleA(nullptr);
}

}  // namespace tavrin
