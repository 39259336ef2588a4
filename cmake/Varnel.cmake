# Build helpers shared by the main project and the host-tools project.

# Most of a test file's compile time goes to the headers it includes (the
# layers' own, GoogleTest's), not to its own code: compiling a test
# executable's files in batches parses them once per batch and cuts the
# build to a fraction. A file compiled in a batch shares its namespace scope
# with the others, so file-local names must not clash within an executable.
# The layers' own units stay one object each: their file-local helpers may
# share names, and a unit's edit rebuilds only that unit.
option(VARNEL_UNITY_BUILD "Compile each test executable's files in batches" ON)
set(VARNEL_UNITY_BATCH 8 CACHE STRING "Files per batch when VARNEL_UNITY_BUILD is on")
function(varnel_batch_sources target)
  if(VARNEL_UNITY_BUILD)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON
      UNITY_BUILD_BATCH_SIZE ${VARNEL_UNITY_BATCH})
    # In a batch every file is an included one, and GCC then warns about a
    # test whose fixture lies in the file's anonymous namespace: a warning
    # meant for headers, which cannot apply to a file nothing else includes.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE
        $<$<COMPILE_LANGUAGE:CXX>:-Wno-subobject-linkage>)
    endif()
  endif()
endfunction()

# Links layer libraries (the static libraries of classlib, app, ui/..., crash)
# as whole archives. Each unit registers itself from a static object that
# nothing references; a plain static link would drop it.
function(varnel_link_layers target scope)
  foreach(lib IN LISTS ARGN)
    target_link_libraries(${target} ${scope} "$<LINK_LIBRARY:WHOLE_ARCHIVE,${lib}>")
  endforeach()
endfunction()

# Declares a layer library from the .cpp files of a folder; later files need
# no CMake edit (CONFIGURE_DEPENDS re-globs). A folder without sources yet
# makes no library, so callers test `if(TARGET name)`.
#   varnel_add_layer(name DIRS dir... [UNITS unit...] [EXCLUDE unit...]
#                    [SOURCES file...] [LAYERS lib...] [SYSTEM_LIBS lib...]
#                    [PORTABLE unit...])
# Units are file names without .cpp. UNITS keeps only the named units of the
# folders (a layer that is part of a folder), EXCLUDE leaves the named ones
# out (they belong to another layer), SOURCES adds files from elsewhere.
# LAYERS names the layers whose headers this one includes, and no others.
# PORTABLE names the units that build off Windows; with it, the native and
# fuzz builds compile only those units of the layer.
function(varnel_add_layer name)
  cmake_parse_arguments(ARG "" ""
    "DIRS;UNITS;EXCLUDE;SOURCES;LAYERS;SYSTEM_LIBS;PORTABLE" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(ARG_UNITS)
    varnel_filter_units(sources "${sources}" "${ARG_UNITS}" "")
  endif()
  if(ARG_EXCLUDE)
    varnel_filter_units(excluded "${sources}" "${ARG_EXCLUDE}" "")
    if(excluded)
      list(REMOVE_ITEM sources ${excluded})
    endif()
  endif()
  list(APPEND sources ${ARG_SOURCES})
  if(NOT WIN32 AND ARG_PORTABLE)
    varnel_filter_units(sources "${sources}" "${ARG_PORTABLE}" "")
  endif()
  if(NOT sources)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${ARG_DIRS})
  if(COMMAND varnel_layer_pch)
    varnel_layer_pch(${name})
  endif()
  # Every layer below this one, for varnel_link_libraries.
  set(below ${ARG_LAYERS})
  foreach(lib IN LISTS ARG_LAYERS)
    get_target_property(more ${lib} VARNEL_LAYERS_BELOW)
    list(APPEND below ${more})
  endforeach()
  list(REMOVE_DUPLICATES below)
  set_target_properties(${name} PROPERTIES
    VARNEL_LAYER TRUE
    VARNEL_LAYERS_BELOW "${below}"
    VARNEL_PORTABLE "${ARG_PORTABLE}")
  varnel_link_layers(${name} PUBLIC ${ARG_LAYERS})
  if(ARG_SYSTEM_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_SYSTEM_LIBS})
  endif()
endfunction()

# Keeps the files of `files` whose name is one of `units` followed by
# `suffix` and ".cpp" (cxRegExpr.cpp, or cxRegExprTest.cpp with suffix Test).
function(varnel_filter_units out files units suffix)
  set(kept)
  foreach(f IN LISTS files)
    get_filename_component(base ${f} NAME_WE)
    foreach(unit IN LISTS units)
      if(base STREQUAL "${unit}${suffix}")
        list(APPEND kept ${f})
      endif()
    endforeach()
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

# Links libraries into an executable: layer libraries whole, the rest plainly.
# A whole archive that appears twice on the link line defines every symbol
# twice, and CMake repeats a static library named before one that depends on
# it; so only the topmost layers are named and the rest come through them.
function(varnel_link_libraries target)
  set(libs ${ARGN})
  list(REMOVE_DUPLICATES libs)
  set(covered)
  foreach(lib IN LISTS libs)
    if(TARGET ${lib})
      get_target_property(below ${lib} VARNEL_LAYERS_BELOW)
      if(below)
        list(APPEND covered ${below})
      endif()
    endif()
  endforeach()
  if(covered)
    list(REMOVE_ITEM libs ${covered})
  endif()
  foreach(lib IN LISTS libs)
    set(is_layer FALSE)
    if(TARGET ${lib})
      get_target_property(is_layer ${lib} VARNEL_LAYER)
    endif()
    if(is_layer)
      varnel_link_layers(${target} PRIVATE ${lib})
    else()
      target_link_libraries(${target} PRIVATE ${lib})
    endif()
  endforeach()
endfunction()

# Every executable of the Windows build, for the import check.
function(varnel_register_executable target)
  set_property(GLOBAL APPEND PROPERTY VARNEL_EXECUTABLES ${target})
endfunction()

# ---------------------------------------------------------------------------
# Forms
# ---------------------------------------------------------------------------

# Makes the form converter available as VARNEL_FORMCONV (the program) and
# VARNEL_FORMCONV_DEPENDS (what a conversion waits for). The converter runs
# at build time, so the Windows build compiles it with the host compiler in
# a small project of its own (tools/CMakeLists.txt). Until its source exists
# both stay empty and forms are skipped.
function(varnel_setup_formconv)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/formconv/*.cpp)
  set(VARNEL_FORMCONV "" PARENT_SCOPE)
  set(VARNEL_FORMCONV_DEPENDS "" PARENT_SCOPE)
  if(NOT sources)
    return()
  endif()
  if(CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    set(bin ${CMAKE_BINARY_DIR}/host-tools)
    if(NOT VARNEL_HOST_JOBS)
      set(VARNEL_HOST_JOBS 2)
    endif()
    ExternalProject_Add(host_tools
      SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools
      BINARY_DIR ${bin}
      CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
                 -DCMAKE_C_COMPILER=cc
                 -DCMAKE_CXX_COMPILER=c++
      BUILD_COMMAND ${CMAKE_COMMAND} --build ${bin} -j ${VARNEL_HOST_JOBS}
      BUILD_ALWAYS ON
      INSTALL_COMMAND ""
      BUILD_BYPRODUCTS ${bin}/formconv)
    set(VARNEL_FORMCONV ${bin}/formconv PARENT_SCOPE)
    set(VARNEL_FORMCONV_DEPENDS host_tools ${bin}/formconv PARENT_SCOPE)
  else()
    add_executable(formconv ${sources})
    varnel_link_libraries(formconv classlib_core)
    set(VARNEL_FORMCONV $<TARGET_FILE:formconv> PARENT_SCOPE)
    set(VARNEL_FORMCONV_DEPENDS formconv PARENT_SCOPE)
  endif()
endfunction()

# Compiles text form files into a target as RCDATA resources.
#   varnel_add_forms(target FORMS forms/TwndMain.txt ...)
# A form file is named after its form class: TwndMain.txt holds
# "object wndMain: TwndMain" and becomes the resource TWNDMAIN. One call per
# target. Resources exist only in the Windows build; elsewhere, and while the
# converter does not exist yet, this does nothing.
function(varnel_add_forms target)
  cmake_parse_arguments(ARG "" "" "FORMS" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  if(NOT VARNEL_FORMCONV)
    message(STATUS "No form converter yet: forms of ${target} not compiled in")
    return()
  endif()
  set(rc "// Generated: the forms of ${target}.\n")
  set(bins)
  foreach(form IN LISTS ARG_FORMS)
    get_filename_component(src ${form} ABSOLUTE)
    get_filename_component(base ${form} NAME_WE)
    string(TOUPPER ${base} resname)
    # Per target: two targets of one folder may carry forms of one name.
    set(bin ${CMAKE_CURRENT_BINARY_DIR}/forms/${target}/${base}.bin)
    add_custom_command(
      OUTPUT ${bin}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/forms/${target}
      COMMAND ${VARNEL_FORMCONV} ${src} ${bin}
      DEPENDS ${src} ${VARNEL_FORMCONV_DEPENDS}
      COMMENT "Converting form ${base}"
      VERBATIM)
    list(APPEND bins ${bin})
    string(APPEND rc "${resname} RCDATA \"${bin}\"\n")
  endforeach()
  set(rc_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_forms.rc)
  file(GENERATE OUTPUT ${rc_file} CONTENT "${rc}")
  set_source_files_properties(${rc_file} PROPERTIES
    GENERATED TRUE
    OBJECT_DEPENDS "${bins}")
  # Listing the .bin files attaches their custom commands to the target.
  target_sources(${target} PRIVATE ${rc_file} ${bins})
endfunction()

# ---------------------------------------------------------------------------
# Fuzzers
# ---------------------------------------------------------------------------

# A libFuzzer target, run by CTest for VARNEL_FUZZ_SECONDS. Seeds come from
# fuzz/corpus/<name>/ when that folder exists; new inputs go to the build
# tree. Does nothing outside the fuzz build.
#   varnel_add_fuzzer(name SOURCES ... LIBS ...)
function(varnel_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT VARNEL_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  varnel_link_libraries(${name} ${ARG_LIBS})
  set(corpus ${CMAKE_BINARY_DIR}/corpus/${name})
  set(artifacts ${CMAKE_BINARY_DIR}/artifacts/${name}/)
  file(MAKE_DIRECTORY ${corpus} ${artifacts})
  set(seeds)
  if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    set(seeds ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
  endif()
  add_test(NAME ${name}
    COMMAND ${name} -max_total_time=${VARNEL_FUZZ_SECONDS} -timeout=10
            -rss_limit_mb=2048 -print_final_stats=1
            -artifact_prefix=${artifacts} ${corpus} ${seeds})
  set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endfunction()
