// Win32 KERNEL32, OLE32 and OLEAUT32 subset of the Linux platform: declarations and constants.
// Signatures, constants and results follow Win32; where Win32 leaves a call
// undefined (a freed thread-local slot, a block freed twice) this platform
// refuses the call and reports failure instead.
#pragma once

#include "platform/linux/win32_base.h"

using LPBYTE = BYTE*;
using HLOCAL = HANDLE;

// ---- Errors of the calling thread (GetLastError / SetLastError) ----
#define ERROR_SUCCESS 0L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MOD_NOT_FOUND 126L
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

// ---- Thread-local storage ----
// Win32 gives a process 1088 slots (64 + 1024 expansion slots).
#define TLS_MINIMUM_AVAILABLE 64
#define TLS_OUT_OF_INDEXES 0xFFFFFFFFu
DWORD TlsAlloc();
// The value of the calling thread in `dwTlsIndex`; 0 for a slot the thread
// has not set since the slot was allocated. Sets the last error to
// ERROR_SUCCESS on success, so that a stored 0 can be told from a failure.
LPVOID TlsGetValue(DWORD dwTlsIndex);
BOOL TlsSetValue(DWORD dwTlsIndex, LPVOID lpTlsValue);
BOOL TlsFree(DWORD dwTlsIndex);

// ---- Global memory (fixed blocks only) ----
#define GMEM_FIXED 0x0000u
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
// A fixed block of `dwBytes` bytes (zero-filled with GMEM_ZEROINIT); the
// handle is the block's address. NULL on failure (GMEM_MOVEABLE is not
// supported here and fails with ERROR_INVALID_PARAMETER).
HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
// Returns NULL on success (and for NULL); returns hMem, with
// ERROR_INVALID_PARAMETER, for a handle that is not a live block.
HGLOBAL GlobalFree(HGLOBAL hMem);

// ---- Process start-up values ----
#define STARTF_USESHOWWINDOW 0x00000001u
#define STARTF_USESIZE 0x00000002u
#define STARTF_USEPOSITION 0x00000004u
#define STARTF_USESTDHANDLES 0x00000100u
#ifndef SW_SHOWDEFAULT
#define SW_SHOWDEFAULT 10
#endif

struct STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
};
using LPSTARTUPINFOA = STARTUPINFOA*;

// Fills the whole structure with the values the process was started with
// (the cb field is set to the structure's size).
void GetStartupInfoA(LPSTARTUPINFOA lpStartupInfo);
// The full command line, zero-terminated. The text stays valid for the life
// of the process (or until a test replaces it).
LPSTR GetCommandLineA();
// NULL asks for the program's own module: a stable, non-null handle. Any
// other name gives NULL with ERROR_MOD_NOT_FOUND (no other modules here).
HMODULE GetModuleHandleA(LPCSTR lpModuleName);
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();

// ---- Time and process end ----
#define INFINITE 0xFFFFFFFFu
void Sleep(DWORD dwMilliseconds);
// Flushes the C streams and ends the process with `uExitCode`.
[[noreturn]] void ExitProcess(UINT uExitCode);

// ---- OLE32: COM initialisation, counted per thread ----
#define S_OK static_cast<HRESULT>(0)
#define S_FALSE static_cast<HRESULT>(1)
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
// S_OK for the first call on a thread, S_FALSE for the nested ones.
HRESULT CoInitialize(LPVOID pvReserved);
// Undoes one CoInitialize of the calling thread; does nothing on a thread
// that has none left.
void CoUninitialize();

// OLEAUT32: counted byte strings. The byte count stands in the four bytes
// before the returned address, and a zero WCHAR follows the bytes.
BSTR SysAllocStringByteLen(LPCSTR psz, UINT len);
void SysFreeString(BSTR bstrString);
UINT SysStringByteLen(BSTR bstr);
