# Build helpers shared by every folder: warnings, sanitizers, GoogleTest and
# the one-test-binary-per-folder convention (tests stand beside the code).

if(RYN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(MINGW)
  # Every module carries its own compiler runtime (libgcc, libstdc++,
  # winpthread): a host's command folder holds no runtime DLLs, and another
  # plug-in's copies would clash. So no exception crosses a module boundary.
  add_link_options(-static)
  # Shipped Release modules carry no symbol table.
  add_link_options($<$<CONFIG:Release>:-s>)
  # The C99 printf family, so numbers and %zu print as on Linux.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 __USE_MINGW_ANSI_STDIO=1)
endif()

# Warnings are errors in our own targets, so none slips in unnoticed; a newer
# compiler with new warnings can be tried with -DRYN_WERROR=OFF.
option(RYN_WERROR "Treat compiler warnings as errors in the project's targets" ON)
function(ryn_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
  if(RYN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
    # The mingw linker's warnings (a resource clash, say) are defects too.
    if(MINGW)
      target_link_options(${target} PRIVATE -Wl,--fatal-warnings)
    endif()
  endif()
  # GCC 12 with optimisation warns of overlapping copies inside libstdc++'s own
  # string code for C++20 code as plain as s = ";" (GCC bug 105329).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-Wno-restrict>)
  endif()
endfunction()

# GoogleTest: the installed package when there is one for the target (on
# Linux, Debian's libgtest-dev and libgmock-dev). No package exists for the
# mingw targets, so there it is compiled from its sources (Debian's googletest
# package), found in RYN_GTEST_SOURCE. -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
# compiles the sources on Linux too.
macro(ryn_setup_googletest)
  if(BUILD_TESTING)
    find_package(GTest QUIET)
    if(NOT TARGET GTest::gtest_main OR NOT TARGET GTest::gmock)
      # Sources are the same for every target: search them outside the cross root.
      find_path(RYN_GTEST_SOURCE NAMES googlemock/CMakeLists.txt
        PATHS /usr/src/googletest /usr/local/src/googletest
        NO_CMAKE_FIND_ROOT_PATH
        DOC "GoogleTest sources, compiled here when no package is installed for the target")
      if(NOT RYN_GTEST_SOURCE)
        message(FATAL_ERROR "GoogleTest: no package for this target and no sources found; "
          "install googletest (Debian) or set RYN_GTEST_SOURCE")
      endif()
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
      add_subdirectory(${RYN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    endif()
  endif()
endmacro()

# ryn_add_tests(NAME LIBS...) builds every *_test.cpp of the current folder
# into one binary NAME and registers it with CTest (through wine when cross-built).
function(ryn_add_tests name)
  ryn_add_test_dirs(${name} DIRS ${CMAKE_CURRENT_SOURCE_DIR} LIBS ${ARGN})
endfunction()

# Sources of a folder without its tests.
function(ryn_glob_sources out dir)
  file(GLOB all CONFIGURE_DEPENDS ${dir}/*.cpp)
  list(FILTER all EXCLUDE REGEX "_test\\.cpp$")
  set(${out} ${all} PARENT_SCOPE)
endfunction()

# ryn_add_test_dirs(NAME DIRS dir... LIBS lib...) is ryn_add_tests for code
# whose tests stand beside sources in several folders.
function(ryn_add_test_dirs name)
  cmake_parse_arguments(ARG "" "" "DIRS;LIBS" ${ARGN})
  if(NOT BUILD_TESTING)
    return()
  endif()
  set(sources)
  foreach(dir ${ARG_DIRS})
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*_test.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ryn-testing GTest::gmock GTest::gtest_main)
  ryn_warnings(${name})
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "RYN_SOURCE_DIR=${CMAKE_SOURCE_DIR};RYN_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

set(RYN_EXPORT_TABLE_CHECK ${CMAKE_CURRENT_LIST_DIR}/ExportTableCheck.cmake)

# ryn_add_export_table_test(TARGET) checks that the plug-in library exports
# the fifteen entry points: exactly those on Windows (objdump -p), at least
# those on Linux (nm -D). It reads the file only, so it needs no wine.
function(ryn_add_export_table_test target)
  if(NOT BUILD_TESTING)
    return()
  endif()
  if(WIN32)
    set(format PE)
    set(tool ${CMAKE_OBJDUMP})
  else()
    set(format ELF)
    set(tool ${CMAKE_NM})
  endif()
  if(NOT tool)
    message(WARNING "ryn_add_export_table_test: no ${format} dump tool; ${target}_exports not added")
    return()
  endif()
  add_test(NAME ${target}_exports
    COMMAND ${CMAKE_COMMAND} "-DFILE=$<TARGET_FILE:${target}>" -DTOOL=${tool} -DFORMAT=${format}
            -P ${RYN_EXPORT_TABLE_CHECK})
endfunction()

# ryn_add_import_table_test(TARGET...) checks, on Windows, that each module
# imports only Windows system DLLs and the host's library (objdump -p).
function(ryn_add_import_table_test)
  if(NOT BUILD_TESTING OR NOT WIN32)
    return()
  endif()
  foreach(target ${ARGN})
    add_test(NAME ${target}_imports
      COMMAND ${CMAKE_COMMAND} "-DFILE=$<TARGET_FILE:${target}>" -DTOOL=${CMAKE_OBJDUMP}
              -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/ImportTableCheck.cmake)
  endforeach()
endfunction()

# ryn_version_resource(TARGET DESCRIPTION) gives a Windows module a
# VERSIONINFO resource: the project's version, the description, the product.
function(ryn_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(RYN_FILE_TYPE VFT_APP)
  else()
    set(RYN_FILE_TYPE VFT_DLL)
  endif()
  set(RYN_TARGET ${target})
  set(RYN_DESCRIPTION "${description}")
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc.in @ONLY)
  # The file name is known at generation time only.
  file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc
    INPUT ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc.in)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
endfunction()

# ryn_pages_in_own_resources(TARGET): the target's resource script includes
# the control kit's pages.rc itself. windres numbers icon images from 1 in
# each script it compiles, so a module whose own script has icons too must
# compile both in one script, or two icon groups point at one image.
function(ryn_pages_in_own_resources target)
  if(WIN32)
    set_target_properties(${target} PROPERTIES RYN_PAGES_IN_OWN_RC ON)
    target_include_directories(${target} PRIVATE ${RYN_UI_RC_DIR})
  endif()
endfunction()
