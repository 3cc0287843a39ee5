# Every deliverable carries a version block in an ELF section of its own, ".kolva_version",
# written here from the project version; TVersionRes reads it back from the file. The byte
# layout is described in src/platform/VersionBlock.h.

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(_kolva_build_secs $ENV{SOURCE_DATE_EPOCH})
else()
  string(TIMESTAMP _kolva_build_secs "%s" UTC)
endif()
# Windows file time: 100 ns ticks since 1601-01-01.
math(EXPR _kolva_filetime "(${_kolva_build_secs} + 11644473600) * 10000000")
math(EXPR KOLVA_FILEDATE_MS "(${_kolva_filetime} >> 32) & 0xFFFFFFFF" OUTPUT_FORMAT HEXADECIMAL)
math(EXPR KOLVA_FILEDATE_LS "${_kolva_filetime} & 0xFFFFFFFF" OUTPUT_FORMAT HEXADECIMAL)

set(_kolva_version_template ${CMAKE_CURRENT_LIST_DIR}/VersionBlock.cpp.in)

# kolva_add_version_block(target DESCRIPTION text ORIGINAL_FILENAME name [LIBRARY])
function(kolva_add_version_block target)
  cmake_parse_arguments(ARG "LIBRARY" "DESCRIPTION;ORIGINAL_FILENAME" "" ${ARGN})
  set(VB_MAJOR ${PROJECT_VERSION_MAJOR})
  set(VB_MINOR ${PROJECT_VERSION_MINOR})
  set(VB_RELEASE ${PROJECT_VERSION_PATCH})
  set(VB_BUILD ${PROJECT_VERSION_TWEAK})
  set(VB_DESCRIPTION "${ARG_DESCRIPTION}")
  set(VB_ORIGINAL_FILENAME "${ARG_ORIGINAL_FILENAME}")
  set(VB_INTERNAL_NAME "${target}")
  if(ARG_LIBRARY)
    set(VB_FILETYPE 2) # a dynamic-link library
  else()
    set(VB_FILETYPE 1) # an application
  endif()
  if(CMAKE_BUILD_TYPE STREQUAL "Debug")
    set(VB_FILEFLAGS 1) # debug build
  else()
    set(VB_FILEFLAGS 0)
  endif()
  set(VB_FILEDATE_MS ${KOLVA_FILEDATE_MS})
  set(VB_FILEDATE_LS ${KOLVA_FILEDATE_LS})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_VersionBlock.cpp)
  configure_file(${_kolva_version_template} ${out} @ONLY)
  target_sources(${target} PRIVATE ${out})
endfunction()
