# The release toolchain for 32-bit Windows: the win32 thread model, since the
# shipped programs use no C++ threads (only GoogleTest needs the posix model,
# and the release builds have no tests), which keeps winpthreads out of the
# static programs.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
