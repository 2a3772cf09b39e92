// OLE32 subset of the Linux platform: CoInitialize and CoUninitialize, which
// here only count how deeply each thread has initialised COM.
#include "platform/linux/process_hooks.h"
#include "platform/win32.h"

namespace tavrin::platform {
namespace {
thread_local int t_com_depth = 0;
}  // namespace

int ComInitDepth() {
  return t_com_depth;
}

}  // namespace tavrin::platform

HRESULT CoInitialize(LPVOID /*pvReserved*/) {
  tavrin::platform::TraceCall("CoInitialize");
  return tavrin::platform::t_com_depth++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
  tavrin::platform::TraceCall("CoUninitialize");
  if (tavrin::platform::t_com_depth > 0) --tavrin::platform::t_com_depth;
}
