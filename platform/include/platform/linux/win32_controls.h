// Win32 standard controls subset of the Linux platform: the styles, messages
// and notifications of BUTTON, STATIC, EDIT, LISTBOX, COMBOBOX and SCROLLBAR.
#pragma once

#include "platform/linux/win32_base.h"
