# Cross-build for 32-bit Windows with Debian's MinGW-w64. The -posix compilers
# are the thread variant with std::thread and std::mutex; the default
# i686-w64-mingw32-g++ is the win32 variant, which lacks them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_AR i686-w64-mingw32-gcc-ar-posix)
set(CMAKE_RANLIB i686-w64-mingw32-gcc-ranlib-posix)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static: the executables import system DLLs only (no libgcc,
# libstdc++ or winpthread DLL to ship next to them).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test executables run under Wine, in a prefix that belongs to this build
# tree (never the user's ~/.wine).
get_filename_component(_varnel_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${_varnel_root}/tools/wine-run.sh;--prefix;${CMAKE_BINARY_DIR}/wineprefix;--keepalive;${CMAKE_BINARY_DIR}/bin/wine_keepalive.exe")
