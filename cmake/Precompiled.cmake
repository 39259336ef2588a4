# Precompiled headers. Most of a unit's compile time goes to the headers it
# includes (windows.h, the standard library, the layers' class headers), not
# to its own code: a grid unit of 500 lines spends four of its five seconds
# parsing. Each larger layer parses its common headers once into a
# precompiled header; small layers and the test executables reuse the one of
# the layer they stand on, which costs them nothing to build.
#
# A precompiled header must be the first thing a file sees, so targets that
# have one get classlib/win/WinApi.h through it rather than through the
# forced include of the top-level CMakeLists.txt.
#
# With ccache as compiler launcher, objects that use a precompiled header
# are cached only with `sloppiness = pch_defines,time_macros` and hit only
# within one build tree (the header's image differs from tree to tree);
# -DVARNEL_PCH=OFF gives the plain build back.
option(VARNEL_PCH "Precompile the common headers of each larger layer" ON)

# CMake marks the generated header a system header, which would silence the
# warnings of every header of ours that it includes; they are reported when
# the precompiled header is built instead.
set(CMAKE_PCH_PROLOGUE "")

# Layers with fewer units than this reuse the base header (below).
set(VARNEL_PCH_MIN_UNITS 4)

# What every precompiled header holds: the standard headers that many of our
# units include.
set(VARNEL_PCH_STD
  <algorithm> <array> <atomic> <climits> <cmath> <cstddef> <cstdint>
  <cstdio> <cstdlib> <cstring> <functional> <initializer_list> <limits>
  <map> <memory> <mutex> <optional> <stdexcept> <string> <utility> <vector>)
set(VARNEL_PCH_STD_WINDOWS <commctrl.h>)

# The class-library headers that nearly every layer over the core includes.
set(pch_core Classes.h SysUtils.h TypInfo.h Types.h ScopeGuard.h Dialogs.h)
set(pch_visual Handles.h Graphics.h Controls.h Messages.h ImgList.h)

# One entry per layer that builds a header of its own: the headers most of
# its units include, HEADERS on every platform, WINDOWS in the Windows build
# only (the portable subsets of the native and fuzz builds lack them). A
# layer without an entry reuses the base header, classlib_core's.
#   varnel_pch(layer [HEADERS header...] [WINDOWS header...])
function(varnel_pch layer)
  cmake_parse_arguments(ARG "" "" "HEADERS;WINDOWS" ${ARGN})
  set(headers ${ARG_HEADERS})
  if(WIN32)
    list(APPEND headers ${ARG_WINDOWS})
  endif()
  set_property(GLOBAL PROPERTY VARNEL_PCH_ENTRY_${layer} TRUE)
  set_property(GLOBAL PROPERTY VARNEL_PCH_HEADERS_${layer} "${headers}")
endfunction()

varnel_pch(classlib_core)
varnel_pch(classlib_visual HEADERS ${pch_core} WINDOWS ${pch_visual})
varnel_pch(ui_foundation HEADERS ${pch_core}
  WINDOWS ${pch_visual} cxClasses.h cxGraphics.h cxLookAndFeelPainters.h
          dxThemeManager.h)
varnel_pch(ui_editors HEADERS ${pch_core} Variants.h cxClasses.h cxGeometry.h
  WINDOWS ${pch_visual} Forms.h StdCtrls.h Menus.h ActnList.h cxContainer.h
          cxLookAndFeels.h cxScrollBar.h cxDrawTextUtils.h cxEdit.h
          cxEditButtons.h cxRegExpr.h)
varnel_pch(ui_data HEADERS ${pch_core} Variants.h FormStreams.h cxClasses.h
  cxEditValueSource.h cxCustomData.h)
varnel_pch(ui_grid WINDOWS ${pch_core} Forms.h cxInplaceContainer.h)
varnel_pch(ui_pagecontrol
  WINDOWS ${pch_core} ${pch_visual} Forms.h cxLookAndFeelPainters.h cxPC.h
          cxPCPainters.h)
varnel_pch(ui_controls
  WINDOWS ${pch_core} ${pch_visual} Forms.h StdCtrls.h Menus.h ActnList.h
          cxClasses.h cxLookAndFeels.h cxScrollBar.h)
varnel_pch(ui_bars
  WINDOWS ${pch_core} ${pch_visual} IniFiles.h Forms.h StdCtrls.h Menus.h
          ActnList.h cxClasses.h cxLookAndFeels.h cxScrollBar.h dxBar.h
          dxBarControls.h dxBarPainters.h)

# Gives a layer its precompiled header: its own when it has an entry and
# enough units, else the base one.
function(varnel_layer_pch target)
  if(NOT VARNEL_PCH)
    return()
  endif()
  get_property(has_entry GLOBAL PROPERTY VARNEL_PCH_ENTRY_${target})
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  list(LENGTH sources units)
  if(has_entry AND units GREATER_EQUAL VARNEL_PCH_MIN_UNITS)
    get_property(headers GLOBAL PROPERTY VARNEL_PCH_HEADERS_${target})
    set(list)
    if(WIN32)
      list(APPEND list ${CMAKE_SOURCE_DIR}/classlib/win/WinApi.h
                       ${VARNEL_PCH_STD_WINDOWS})
    endif()
    list(APPEND list ${VARNEL_PCH_STD})
    foreach(h IN LISTS headers)
      list(APPEND list "\"${h}\"")
    endforeach()
    # Our layers have C++ sources only (and resource scripts, which have no
    # precompiled headers).
    target_precompile_headers(${target} PRIVATE ${list})
    set_target_properties(${target} PROPERTIES
      VARNEL_PCH ON VARNEL_PCH_FROM ${target})
  else()
    varnel_reuse_pch(${target} classlib_core)
  endif()
endfunction()

# Lets a target use the precompiled header of `from` (a layer), or of the
# layer whose header `from` uses.
function(varnel_reuse_pch target from)
  if(NOT VARNEL_PCH OR NOT TARGET ${from} OR target STREQUAL from)
    return()
  endif()
  get_target_property(owner ${from} VARNEL_PCH_FROM)
  if(NOT owner)
    return()
  endif()
  target_precompile_headers(${target} REUSE_FROM ${owner})
  set_target_properties(${target} PROPERTIES
    VARNEL_PCH ON VARNEL_PCH_FROM ${owner})
endfunction()

# A test executable compiles its files in batches, so a header of its own
# would pay for itself in few of them: it reuses the richest header among
# the layers it tests (one of their own, not one they reuse).
function(varnel_test_pch target)
  set(from)
  foreach(lib IN LISTS ARGN)
    if(TARGET ${lib})
      get_target_property(owner ${lib} VARNEL_PCH_FROM)
      if(owner STREQUAL lib)
        set(from ${lib})
        break()
      endif()
    endif()
  endforeach()
  if(NOT from)
    set(from classlib_core)
  endif()
  varnel_reuse_pch(${target} ${from})
endfunction()
