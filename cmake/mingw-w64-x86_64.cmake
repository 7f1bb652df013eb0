# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers (the -posix
# variants, whose libstdc++ has std::thread and friends on winpthreads).
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake …
# or the `windows` preset, which also runs the tests under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(IITCALC_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${IITCALC_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${IITCALC_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${IITCALC_MINGW_TRIPLE}-windres)

# Libraries and headers from the MinGW sysroot only; programs (windres,
# makensis, the icon tools) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${IITCALC_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe: libstdc++, libgcc and winpthreads linked in, so
# only Windows' own DLLs are needed beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Optimised programs ship without symbols.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
