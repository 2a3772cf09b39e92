# WebAssembly build with Debian's emscripten; the tool and the tests are
# JavaScript programs run by node, with the host's file system reached
# directly (NODERAWFS).
include(${CMAKE_CURRENT_LIST_DIR}/emscripten-common.cmake)
# Exceptions are off by default in emscripten; the code throws and catches.
# Threads are Web Workers sharing the memory (node runs them without flags);
# without -pthread a program cannot start a second thread.
set(CMAKE_C_FLAGS_INIT "-fexceptions -pthread")
set(CMAKE_CXX_FLAGS_INIT "-fexceptions -pthread")
# printf's %Lf and friends, a heap that grows with the soundings, the host's
# files, and exit codes and flushed streams when main returns or exit is
# called. Static data starts at 64 KiB: the Win32 subset, as Win32, takes a
# pointer below 64 KiB for a resource number (MAKEINTRESOURCE), and
# emscripten would otherwise put string literals there. A growing heap under
# threads makes JavaScript's own reads of it slower, not the program's.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-fexceptions -pthread -sPRINTF_LONG_DOUBLE=1 -sALLOW_MEMORY_GROWTH=1 -sNODERAWFS=1 \
-sEXIT_RUNTIME=1 -sGLOBAL_BASE=65536 -Wno-pthreads-mem-growth")
