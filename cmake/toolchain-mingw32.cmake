# Cross build for 32-bit Windows with mingw-w64: the form the plug-in ships in.
# Test programs run under 32-bit wine where the machine executes 32-bit programs.
set(RYN_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)

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

# add_test runs the .exe through wine-run.sh, which picks 32-bit wine for it.
find_program(RYN_WINE32 NAMES wine PATHS /usr/lib/wine NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(RYN_WINE32)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
endif()
