# cmake -DOBJDUMP=... -DFILES=a.exe;b.exe -P CheckImports.cmake
cmake_minimum_required(VERSION 3.25)
# Fails when an executable imports a DLL that Windows does not ship (a MinGW
# runtime DLL, a third-party library): the program must run from its own
# file alone.
set(system_dlls
  advapi32 comctl32 comdlg32 crypt32 dbghelp dwmapi gdi32 gdiplus imagehlp
  imm32 kernel32 mapi32 msimg32 msvcrt ole32 oleacc oleaut32 psapi rpcrt4
  secur32 setupapi shell32 shlwapi user32 userenv uxtheme version winhttp
  wininet winmm winspool.drv ws2_32 wsock32)

if(NOT FILES)
  message(FATAL_ERROR "no executables given")
endif()
set(bad)
foreach(file IN LISTS FILES)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "${file} does not exist (not built?)")
  endif()
  execute_process(COMMAND ${OBJDUMP} -p ${file}
    OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} failed on ${file}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
  get_filename_component(short ${file} NAME)
  set(list)
  foreach(entry IN LISTS names)
    string(REGEX REPLACE "DLL Name: " "" dll "${entry}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" dll)
    string(REGEX REPLACE "\\.dll$" "" stem "${dll}")
    list(APPEND list ${dll})
    if(NOT stem IN_LIST system_dlls AND NOT dll IN_LIST system_dlls)
      list(APPEND bad "${short}: ${dll}")
    endif()
  endforeach()
  message(STATUS "${short}: ${list}")
endforeach()
if(bad)
  string(REPLACE ";" "\n  " bad "${bad}")
  message(FATAL_ERROR "imports of non-system DLLs:\n  ${bad}")
endif()
