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

# --- Processor floor of the 32-bit program ---------------------------------
# Tallowick.exe runs on a 486 and everything later: no CMOV, FCOMI/FUCOMI,
# MMX, SSE or later instruction. Every C and C++ file built here is compiled
# for the 486 and tuned for today's processors; the runtime's own members
# that hold newer instructions are rebuilt for it (platform/win32/runtime),
# and the test win32.instructions checks the exe. The 64-bit check build
# keeps x86-64's own baseline.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
    set(TALLOWICK_CPU_FLAGS -march=i486 -mtune=generic)
    list(JOIN TALLOWICK_CPU_FLAGS " " cpu_flags)
    foreach(language C CXX)
        if(NOT CMAKE_${language}_FLAGS MATCHES "-march=")
            string(APPEND CMAKE_${language}_FLAGS " ${cpu_flags}")
        endif()
    endforeach()
endif()
# ---------------------------------------------------------------------------

# Everything inside the exe: the system's own DLLs are its only imports (the
# test programs also import msvcrt.dll; Tallowick.exe has a C runtime of its
# own). OS and subsystem version 4.0 for every program; Tallowick.exe itself
# pins --subsystem,windows:4.0, test programs stay console programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--major-os-version,4,--minor-os-version,0,--major-subsystem-version,4,--minor-subsystem-version,0")
