// The Win32 subset that tavrin calls. On Windows this is the system's own
// headers; on Linux it is our headless, in-process implementation of the same
// functions, types and constants (see platform/linux/).
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#else
#include "platform/linux/win32_base.h"
#include "platform/linux/win32_kernel.h"
#include "platform/linux/win32_user.h"
#include "platform/linux/win32_gdi.h"
#include "platform/linux/win32_controls.h"
#endif
