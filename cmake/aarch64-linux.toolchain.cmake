# Cross build for 64-bit ARM Linux with Debian's g++-aarch64-linux-gnu; the
# libraries come from Debian's arm64 packages (multiarch), and the tests and
# the tool run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# pkg-config reads the arm64 packages' .pc files.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
# The loader and the C library must come from one glibc build. -L alone gives
# the cross loader from /usr/aarch64-linux-gnu, which then finds libc.so.6
# through the host's ld.so.cache in the multiarch /lib/aarch64-linux-gnu: a
# different Debian revision whose private loader data it misreads, and every
# guest pthread_create and fork spins forever. LD_LIBRARY_PATH keeps glibc and
# libstdc++ on the cross side; cairo and libxml2 still come from multiarch.
set(CMAKE_CROSSCOMPILING_EMULATOR
    qemu-aarch64;-L;/usr/aarch64-linux-gnu;-E;LD_LIBRARY_PATH=/usr/aarch64-linux-gnu/lib)
