# WebAssembly build with Debian's emscripten; the tool and the tests are
# JavaScript programs run by node, with the host's file system reached
# directly (NODERAWFS).
# Emscripten calls the processor x86 unless told otherwise (for projects that
# guess the word size from its name); wasm32 has no x87 unit, so the extended
# real is computed in software.
set(EMSCRIPTEN_SYSTEM_PROCESSOR wasm32)
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
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
# The optimising link runs emscripten's JavaScript tools under node, which
# need Debian's acorn from /usr/share/nodejs (a node not built by Debian does
# not look there).
set(CMAKE_C_LINKER_LAUNCHER env;NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env;NODE_PATH=/usr/share/nodejs)
# Eigen is headers only: the host's copy serves the target too.
set(Eigen3_DIR /usr/share/eigen3/cmake CACHE PATH "Eigen's CMake package")
# pkg-config must not offer the host's libraries (Cairo among them).
set(ENV{PKG_CONFIG_LIBDIR} ${EMSCRIPTEN_SYSROOT}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
# node 18 and later have a global fetch, which emscripten's loader would then
# use to read the .wasm file; fetch cannot read a path on disk.
set(CMAKE_CROSSCOMPILING_EMULATOR node;--no-experimental-fetch)
