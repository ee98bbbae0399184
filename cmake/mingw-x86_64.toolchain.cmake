# The same cross build for 64-bit Windows, for checking the Windows code
# under a 64-bit Wine on hosts that run no 32-bit programs. The product is
# the 32-bit build (mingw-i686.toolchain.cmake).

set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TALLOWICK_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.toolchain.cmake)
