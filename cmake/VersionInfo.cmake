# Version information (VERSIONINFO) for the Windows binaries, from the project
# version. The names are cached so that scripts/build-windows.sh gives the
# installer the same product name and publisher.
set(CHECKBOOK_PRODUCT "Checkbook" CACHE INTERNAL "Product name shown by Windows")
set(CHECKBOOK_PUBLISHER "Checkbook maintainers" CACHE INTERNAL "Publisher shown by Windows")
set(CHECKBOOK_COPYRIGHT "Copyright (C) 2026 Checkbook maintainers" CACHE INTERNAL "")

# Binary version fields are numbers: 1.01 is 1,1,0,0 there, "1.01" in the strings.
set(CHECKBOOK_VERSION_COMMA "")
foreach(part MAJOR MINOR PATCH TWEAK)
  set(number "${PROJECT_VERSION_${part}}")
  if(number STREQUAL "")
    set(number 0)
  endif()
  string(REGEX REPLACE "^0+([0-9])" "\\1" number "${number}")
  list(APPEND CHECKBOOK_VERSION_COMMA ${number})
endforeach()
string(REPLACE ";" "," CHECKBOOK_VERSION_COMMA "${CHECKBOOK_VERSION_COMMA}")

# checkbook_version_info(<target> <description>): compiles a VERSIONINFO
# resource naming the target's file into it.
function(checkbook_version_info target description)
  get_target_property(type ${target} TYPE)
  get_target_property(file_name ${target} OUTPUT_NAME)
  if(NOT file_name)
    set(file_name ${target})
  endif()
  if(type STREQUAL "EXECUTABLE")
    string(APPEND file_name ${CMAKE_EXECUTABLE_SUFFIX})
    set(file_type VFT_APP)
  else()
    get_target_property(suffix ${target} SUFFIX)
    string(APPEND file_name ${suffix})
    set(file_type VFT_DLL)
  endif()
  set(version_comma ${CHECKBOOK_VERSION_COMMA})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/resources/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
