# Cross build for 64-bit Windows with mingw-w64. Test programs run under wine64.
set(RYN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

# The -posix compilers: the win32 thread model lacks std::thread in GCC 12.
set(CMAKE_C_COMPILER   ${RYN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RYN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${RYN_MINGW_TRIPLE}-windres)
# Named explicitly: CMake cannot derive the binutils prefix from "-posix" names.
find_program(CMAKE_AR ${RYN_MINGW_TRIPLE}-ar)
find_program(CMAKE_RANLIB ${RYN_MINGW_TRIPLE}-ranlib)
find_program(CMAKE_NM ${RYN_MINGW_TRIPLE}-nm)
find_program(CMAKE_OBJDUMP ${RYN_MINGW_TRIPLE}-objdump)
find_program(CMAKE_STRIP ${RYN_MINGW_TRIPLE}-strip)

set(CMAKE_FIND_ROOT_PATH /usr/${RYN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# add_test runs the .exe through wine; the wrapper keeps wine quiet, runs it
# in the prefix of its architecture and passes the exit code through.
find_program(RYN_WINE64 NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine NO_CMAKE_FIND_ROOT_PATH)
if(RYN_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
endif()
