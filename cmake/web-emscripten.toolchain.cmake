# WebAssembly for the browser page with Debian's emscripten: one module that
# a page opened from file:// can load. Such a page has no SharedArrayBuffer,
# so no threads (no -pthread), and no host file system (no NODERAWFS); the
# module's own link options are in web/api/CMakeLists.txt.
include(${CMAKE_CURRENT_LIST_DIR}/emscripten-common.cmake)
# Exceptions are off by default in emscripten; the code throws and catches.
set(CMAKE_C_FLAGS_INIT "-fexceptions")
set(CMAKE_CXX_FLAGS_INIT "-fexceptions")
# Static data above 64 KiB, as in the wasm build: the Win32 subset the
# run-time links takes a pointer below it for a resource number.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fexceptions -sGLOBAL_BASE=65536")
