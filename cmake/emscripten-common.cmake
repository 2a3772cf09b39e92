# What both WebAssembly builds (wasm: the tool under node; web: the page's
# module) take from Debian's emscripten, included by their toolchain files.
# Emscripten calls the processor x86 unless told otherwise (for projects that
# guess the word size from its name); wasm32 has no x87 unit, so the extended
# real is computed in software.
set(EMSCRIPTEN_SYSTEM_PROCESSOR wasm32)
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
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
