// Win32 KERNEL32, OLE32 and OLEAUT32 subset of the Linux platform: declarations and constants.
#pragma once

#include "platform/linux/win32_base.h"

// OLEAUT32: counted byte strings. The byte count stands in the four bytes
// before the returned address, and a zero WCHAR follows the bytes.
BSTR SysAllocStringByteLen(LPCSTR psz, UINT len);
void SysFreeString(BSTR bstrString);
UINT SysStringByteLen(BSTR bstr);
