# Cross build of the Windows program: 32-bit, for Windows 95, 98, NT 4.0,
# 2000 and later, with mingw-w64's win32-threads compiler (the posix-threads
# one links winpthreads, whose imports do not exist before Windows XP).

set(CMAKE_SYSTEM_NAME Windows)
if(NOT TALLOWICK_MINGW_TRIPLET)
    set(TALLOWICK_MINGW_TRIPLET i686-w64-mingw32)
    set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

set(CMAKE_C_COMPILER ${TALLOWICK_MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TALLOWICK_MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${TALLOWICK_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALLOWICK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything inside the exe: msvcrt.dll and the system's own DLLs are its
# only imports. OS and subsystem version 4.0 for every program; Tallowick.exe
# itself pins --subsystem,windows:4.0, test programs stay console programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--major-os-version,4,--minor-os-version,0,--major-subsystem-version,4,--minor-subsystem-version,0")
