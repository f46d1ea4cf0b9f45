# Checks the import table of a Windows module: it may load only Windows
# system DLLs and the host's own library, so that a host's command folder
# (which holds no compiler runtime and none of our other libraries) can run it.
#
#   cmake -DFILE=<module> -DTOOL=<objdump> -P ImportTableCheck.cmake

cmake_policy(VERSION 3.25)

# Windows system DLLs, lower case.
set(system_dlls kernel32.dll msvcrt.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll
  shlwapi.dll advapi32.dll shell32.dll ole32.dll)
# Ours: the stand-in for the host's libraries, which the host supplies.
set(host_dlls libnorvia-host.dll)

foreach(var FILE TOOL)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "ImportTableCheck: -D${var}=... is required")
  endif()
endforeach()
execute_process(COMMAND ${TOOL} -p "${FILE}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ImportTableCheck: ${TOOL} -p ${FILE} failed (${rc}): ${err}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
set(found)
set(unexpected)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" name)
  list(APPEND found "${dll}")
  if(NOT name IN_LIST system_dlls AND NOT name IN_LIST host_dlls)
    list(APPEND unexpected "${dll}")
  endif()
endforeach()
if(NOT found)
  message(FATAL_ERROR "ImportTableCheck: ${FILE} has no import table")
endif()
if(unexpected)
  string(REPLACE ";" " " unexpected "${unexpected}")
  message(FATAL_ERROR "${FILE} imports DLLs a host does not have: ${unexpected}")
endif()
string(REPLACE ";" " " found "${found}")
message(STATUS "${FILE} imports: ${found}")
