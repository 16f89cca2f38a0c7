# Cross-build for 64-bit Windows with Debian's mingw-w64 packages: the same sources as the 32-bit build,
# for machines that run 64-bit Wine only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The -posix variants carry std::thread and std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages for the target only: the build machine's GoogleTest must never be taken for the target's.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A static runtime lets every .exe start under Wine and on Windows without extra DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian's wine wrapper starts the 32-bit loader whenever it is installed, even where it cannot run; the
# 64-bit loader is called directly (the tests' environment sets WINELOADER to it, for the programs it starts).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
