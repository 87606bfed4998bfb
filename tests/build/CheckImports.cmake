cmake_minimum_required(VERSION 3.25)
# Fails when a program of the build imports a DLL that is not one of the
# system's known DLLs. The loader takes a known DLL from the system alone;
# any other imported DLL is looked for in the program's folder first, so a
# file of that name on the medium would run inside the program. Such DLLs are
# bound from the system folder at run time instead.
set(known_dlls
  ADVAPI32.DLL COMDLG32.DLL GDI32.DLL IMM32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL
  OLEAUT32.DLL PSAPI.DLL SHELL32.DLL SHLWAPI.DLL USER32.DLL)
file(GLOB programs ${BIN_DIR}/*.exe)
if(NOT programs)
  message(FATAL_ERROR "no programs in ${BIN_DIR}")
endif()
set(failed "")
foreach(program IN LISTS programs)
  execute_process(COMMAND ${OBJDUMP} -p ${program} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    list(APPEND failed "${program}: objdump failed")
    continue()
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
  foreach(line IN LISTS names)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(TOUPPER "${dll}" dll)
    if(dll IN_LIST known_dlls)
      continue()
    endif()
    list(APPEND failed "${program}: ${dll}")
  endforeach()
endforeach()
if(failed)
  list(JOIN failed "\n" text)
  message(FATAL_ERROR "imports of DLLs that are not known DLLs:\n${text}")
endif()
list(LENGTH programs count)
message(STATUS "${count} programs import only the system's known DLLs")
