# Cross-builds the console for 64-bit ARM Linux (Raspberry Pi OS, Debian arm64) with Debian's
# cross compiler against the arm64 libraries installed beside the build machine's own (multiarch),
# and runs what it builds under qemu-user:
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# Qt's tools (moc, rcc, uic) are the build machine's own, of the same version.
set(QT_HOST_PATH /usr CACHE PATH "Qt's tools for the build machine")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Their CMake packages")

# pkg-config reads the arm64 libraries' files only. libftdi1's development package cannot stand
# beside the build machine's in Debian 12, so its arm64 file is this project's own, over the
# shared headers and the arm64 runtime library.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} ${CMAKE_CURRENT_LIST_DIR}/aarch64-linux-gnu)

# ctest and test discovery start the programs through qemu, which finds the arm64 loader and
# libraries at their multiarch places below /.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L /)
