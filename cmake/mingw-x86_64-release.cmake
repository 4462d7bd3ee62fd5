# The release toolchain for 64-bit Windows: the win32 thread model, as for
# the 32-bit release (cmake/mingw-i686-release.cmake says why).
include(${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-win32)
