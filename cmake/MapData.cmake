# Packed map data for our own executables (read by the crash library's
# debug-information reader).
#
#   varnel_embed_map_data(target)
#
# makes the target's link step run through the host tool mapgen
# (tools/mapgen), which links the same objects twice: first to
# "<exe>.unmapped.exe", whose COFF symbols and DWARF line table it packs
# into map data, then again with that data as resource type "PELLOR", name
# "EXCEPT". It fails the build when the code section of the second link
# differs in place or content from the first. Only the Windows build (cross
# compiled, where the host tools are built) embeds anything.

if(CMAKE_CROSSCOMPILING AND WIN32)
  set(VARNEL_MAPGEN ${CMAKE_BINARY_DIR}/host-tools/mapgen)
else()
  set(VARNEL_MAPGEN "")
endif()

function(varnel_embed_map_data target)
  if(NOT VARNEL_MAPGEN OR NOT TARGET host_tools OR NOT TARGET ${target})
    return()
  endif()
  if(NOT CMAKE_OBJDUMP OR NOT CMAKE_RC_COMPILER)
    message(WARNING "No objdump or resource compiler: ${target} gets no map data")
    return()
  endif()
  set_property(TARGET ${target} PROPERTY RULE_LAUNCH_LINK
    "${VARNEL_MAPGEN} link --objdump ${CMAKE_OBJDUMP} --windres ${CMAKE_RC_COMPILER} --")
  add_dependencies(${target} host_tools)
  set(out $<TARGET_FILE:${target}>)
  set_property(TARGET ${target} APPEND PROPERTY ADDITIONAL_CLEAN_FILES
    ${out}.unmapped.exe ${out}.mapdata ${out}.mapdata.rc ${out}.mapdata.o)
endfunction()
