# Version information in the executable.
#
# umbrill_embed_version_info(<target> [VERSION a.b.c.d] [STRINGS <key> <value> ...])
#
# At build time a small generator writes the module's VS_VERSIONINFO block
# (translation 080904E4, the fixed file and product version and the standard
# strings) as a C source holding one array in the section ".umbrill_version";
# that source is compiled into <target>, so the block travels in the ELF file
# and the target is relinked whenever the block changes. VERSION defaults to
# PROJECT_VERSION; STRINGS replaces or adds string values. Call it from the
# directory that defines <target>, once per target. Values must not contain ";".
include_guard(GLOBAL)

function(_umbrill_versioninfo_generator)
  if(TARGET umbrill_versioninfo_gen)
    return()
  endif()
  add_executable(umbrill_versioninfo_gen "${PROJECT_SOURCE_DIR}/tools/versioninfo/versioninfogen.cpp")
  umbrill_target_defaults(umbrill_versioninfo_gen)
  set_target_properties(umbrill_versioninfo_gen PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  target_link_libraries(umbrill_versioninfo_gen PRIVATE umbrill_versioninfo)
endfunction()

function(umbrill_embed_version_info target)
  cmake_parse_arguments(ARG "" "VERSION" "STRINGS" ${ARGN})
  if(NOT ARG_VERSION)
    set(ARG_VERSION "${PROJECT_VERSION}")
  endif()
  get_target_property(already ${target} UMBRILL_VERSION_INFO)
  if(already)
    message(FATAL_ERROR "umbrill_embed_version_info: ${target} already carries version information")
  endif()
  get_target_property(targetDir ${target} SOURCE_DIR)
  if(NOT targetDir STREQUAL CMAKE_CURRENT_SOURCE_DIR)
    message(FATAL_ERROR "umbrill_embed_version_info: call it where ${target} is defined (${targetDir})")
  endif()
  list(LENGTH ARG_STRINGS count)
  math(EXPR odd "${count} % 2")
  if(odd)
    message(FATAL_ERROR "umbrill_embed_version_info: STRINGS takes pairs of key and value")
  endif()

  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name "${target}")
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
    set(fileName "${CMAKE_SHARED_LIBRARY_PREFIX}${name}${CMAKE_SHARED_LIBRARY_SUFFIX}")
  else()
    set(fileName "${name}${CMAKE_EXECUTABLE_SUFFIX}")
  endif()

  set(keys CompanyName FileDescription FileVersion InternalName LegalCopyright OriginalFilename
           ProductName ProductVersion Comments)
  set(value_CompanyName "Umbrill developers")
  set(value_FileDescription "Umbrill key pad for accented and special characters")
  set(value_FileVersion "${ARG_VERSION}")
  set(value_InternalName "${name}")
  set(value_LegalCopyright "Copyright © Umbrill developers")
  set(value_OriginalFilename "${fileName}")
  set(value_ProductName "Umbrill")
  set(value_ProductVersion "${ARG_VERSION}")
  set(value_Comments "Puts accented and special characters on the clipboard at a click")
  set(index 0)
  while(index LESS count)
    math(EXPR next "${index} + 1")
    list(GET ARG_STRINGS ${index} key)
    list(GET ARG_STRINGS ${next} value)
    if(NOT key IN_LIST keys)
      list(APPEND keys "${key}")
    endif()
    set(value_${key} "${value}")
    math(EXPR index "${index} + 2")
  endwhile()
  set(stringArgs)
  foreach(key IN LISTS keys)
    list(APPEND stringArgs --string "${key}" "${value_${key}}")
  endforeach()

  _umbrill_versioninfo_generator()
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_versioninfo")
  file(MAKE_DIRECTORY "${dir}")
  add_custom_command(
    OUTPUT "${dir}/versioninfo.c" "${dir}/versioninfo.bin"
    COMMAND umbrill_versioninfo_gen --output "${dir}/versioninfo.c" --binary "${dir}/versioninfo.bin"
            --version "${ARG_VERSION}" --translation 080904E4 ${stringArgs}
    DEPENDS umbrill_versioninfo_gen
    COMMENT "Writing the version information of ${target}"
    VERBATIM)
  set_source_files_properties("${dir}/versioninfo.c" PROPERTIES SKIP_AUTOGEN ON)
  target_sources(${target} PRIVATE "${dir}/versioninfo.c")
  set_target_properties(${target} PROPERTIES UMBRILL_VERSION_INFO ON)
endfunction()
