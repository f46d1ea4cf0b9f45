# Checks the plug-in's export table. The host finds the command only through
# these fifteen undecorated names, so on Windows the table must hold exactly
# them (no stdcall decoration, nothing leaked by export-all); on Linux the
# dynamic symbol table must at least define them.
#
#   cmake -DFILE=<library> -DTOOL=<objdump|nm> -DFORMAT=<PE|ELF> -P ExportTableCheck.cmake

cmake_policy(VERSION 3.25)

set(expected
  TrelmIdentify TrelmIdentifyConstOfArg TrelmExecGUI TrelmExecAlg
  TrelmSetExecCallback TrelmGetParameter TrelmGetParameterEx
  TrelmSetParameter TrelmSetParameterEx TrelmSetOptions TrelmGetOptions
  TrelmGetExtendedParameterInformation TrelmSpecifyFileFilter
  TrelmSpecifyMode TrelmGetDialogInterface)

foreach(var FILE TOOL FORMAT)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "ExportTableCheck: -D${var}=... is required")
  endif()
endforeach()
if(NOT EXISTS "${FILE}")
  message(FATAL_ERROR "ExportTableCheck: ${FILE} does not exist")
endif()

if(FORMAT STREQUAL "PE")
  execute_process(COMMAND ${TOOL} -p "${FILE}"
    OUTPUT_VARIABLE dump RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "ExportTableCheck: ${TOOL} -p failed (${rc}): ${err}")
  endif()
  # The names follow "[Ordinal/Name Pointer] Table" as "\t[   0] Name",
  # up to the next blank line.
  string(FIND "${dump}" "[Ordinal/Name Pointer] Table" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "ExportTableCheck: ${FILE} has no export name table")
  endif()
  string(SUBSTRING "${dump}" ${at} -1 dump)
  string(REPLACE "\r" "" dump "${dump}")
  string(REPLACE ";" "\\;" dump "${dump}")
  string(REPLACE "\n" ";" lines "${dump}")
  list(REMOVE_AT lines 0)
  set(found)
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*$")
      break()
    endif()
    if(line MATCHES "^[ \t]*\\[ *[0-9]+\\] +(.+)$")
      string(STRIP "${CMAKE_MATCH_1}" name)
      list(APPEND found "${name}")
    endif()
  endforeach()
elseif(FORMAT STREQUAL "ELF")
  execute_process(COMMAND ${TOOL} -D --defined-only "${FILE}"
    OUTPUT_VARIABLE dump RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "ExportTableCheck: ${TOOL} -D failed (${rc}): ${err}")
  endif()
  string(REPLACE ";" "\\;" dump "${dump}")
  string(REPLACE "\n" ";" lines "${dump}")
  set(found)
  foreach(line IN LISTS lines)
    # Only functions count: "<address> T <name>".
    if(line MATCHES "^[0-9a-fA-F]+ [TtWi] ([^ ]+)$")
      list(APPEND found "${CMAKE_MATCH_1}")
    endif()
  endforeach()
else()
  message(FATAL_ERROR "ExportTableCheck: FORMAT must be PE or ELF, not '${FORMAT}'")
endif()

set(missing)
foreach(name IN LISTS expected)
  if(NOT name IN_LIST found)
    list(APPEND missing ${name})
  endif()
endforeach()
set(extra)
if(FORMAT STREQUAL "PE")
  foreach(name IN LISTS found)
    if(NOT name IN_LIST expected)
      list(APPEND extra ${name})
    endif()
  endforeach()
  list(LENGTH found count)
  list(REMOVE_DUPLICATES found)
  list(LENGTH found unique)
  if(NOT count EQUAL unique)
    list(APPEND extra "(duplicate names)")
  endif()
endif()

if(missing OR extra)
  string(REPLACE ";" " " missing "${missing}")
  string(REPLACE ";" " " extra "${extra}")
  message(FATAL_ERROR "Export table of ${FILE} is wrong.\n  missing: ${missing}\n  unexpected: ${extra}")
endif()
list(LENGTH expected n)
message(STATUS "${FILE}: the ${n} exports are present")
