# Cross build for 64-bit Windows with Debian's MinGW-w64 (x86-64, POSIX
# threads, linked statically); the tests run under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test executables run under Wine's 64-bit loader; see wine-run.sh for the
# prefix and display.
set(CMAKE_CROSSCOMPILING_EMULATOR env;TAVRIN_WINE=/usr/lib/wine/wine64;${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
# Eigen is header-only: its package from the build machine serves the cross
# build too (its headers only, no library comes from outside the root above).
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# pkg-config reads only the MinGW root's .pc files: none, so the build machine's
# Cairo is not taken for the target's and the plots are built without drawing.
set(ENV{PKG_CONFIG_LIBDIR} /usr/x86_64-w64-mingw32/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
