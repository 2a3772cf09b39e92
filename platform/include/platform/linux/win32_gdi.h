// Win32 GDI32 subset of the Linux platform: declarations and constants.
#pragma once

#include "platform/linux/win32_base.h"
