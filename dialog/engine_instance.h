// The module instance the engine passes to Win32 when it creates windows and
// loads images: the one start-up recorded, or the program's own module when
// the process did not go through start-up (test programs).
#pragma once

#include "platform/win32.h"

namespace tavrin {

HINSTANCE EngineInstance();

}  // namespace tavrin
