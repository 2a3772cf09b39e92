// The page's module boundary: tavrin_call(function, json) returns a malloc'ed
// UTF-8 JSON text that the caller gives back with tavrin_free.
#include <emscripten/emscripten.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/fp_control.h"
#include "web/api.h"

extern "C" {

EMSCRIPTEN_KEEPALIVE char* tavrin_call(const char* function, const char* json) {
  // The floating-point state start-up sets, where the processor has one.
  tavrin::SetStartupFpuControl();
  const std::string out =
      tavrin::web::Call(function != nullptr ? function : "", json != nullptr ? json : "");
  auto* text = static_cast<char*>(std::malloc(out.size() + 1));
  if (text != nullptr) std::memcpy(text, out.c_str(), out.size() + 1);
  return text;
}

EMSCRIPTEN_KEEPALIVE void tavrin_free(char* text) {
  std::free(text);
}

}  // extern "C"
