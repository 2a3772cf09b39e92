// Win32 base types for the Linux platform: the integer widths, handles and
// plain structures that the Windows headers define, with the same names.
// Handles are distinct pointer types as under STRICT, so mixing them up does
// not compile here either.
#pragma once

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define APIENTRY

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using BOOL = std::int32_t;
using CHAR = char;
using WCHAR = char16_t;
using OLECHAR = WCHAR;
using BSTR = OLECHAR*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using PVOID = void*;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = ULONG_PTR;
using SIZE_T = std::size_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using ATOM = WORD;
using COLORREF = DWORD;
using HRESULT = LONG;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define TAVRIN_DECLARE_HANDLE(name) \
  struct name##__ {                 \
    int unused;                     \
  };                                \
  using name = name##__*
using HANDLE = void*;
using HGDIOBJ = void*;
using HGLOBAL = HANDLE;
TAVRIN_DECLARE_HANDLE(HWND);
TAVRIN_DECLARE_HANDLE(HINSTANCE);
TAVRIN_DECLARE_HANDLE(HBRUSH);
TAVRIN_DECLARE_HANDLE(HFONT);
TAVRIN_DECLARE_HANDLE(HBITMAP);
TAVRIN_DECLARE_HANDLE(HICON);
TAVRIN_DECLARE_HANDLE(HDC);
TAVRIN_DECLARE_HANDLE(HMENU);
TAVRIN_DECLARE_HANDLE(HPEN);
TAVRIN_DECLARE_HANDLE(HRGN);
TAVRIN_DECLARE_HANDLE(HCURSOR);
#undef TAVRIN_DECLARE_HANDLE
using HMODULE = HINSTANCE;

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<ULONG_PTR>(p) >> 16) == 0)
#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xffff))
#define MAKELONG(a, b) \
  (static_cast<LONG>((static_cast<WORD>(a)) | (static_cast<DWORD>(static_cast<WORD>(b))) << 16))
#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define RGB(r, g, b)                                                        \
  (static_cast<COLORREF>((static_cast<BYTE>(r) |                            \
                          (static_cast<WORD>(static_cast<BYTE>(g)) << 8)) | \
                         ((static_cast<DWORD>(static_cast<BYTE>(b))) << 16)))

struct POINT {
  LONG x;
  LONG y;
};
struct SIZE {
  LONG cx;
  LONG cy;
};
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
using LPRECT = RECT*;
using LPPOINT = POINT*;

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
using LPMSG = MSG*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
