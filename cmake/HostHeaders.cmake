# The host's headers as the program sees them: hostbinding/HostBinding.h includes
# VelnorHostHeaders.h, which this writes. Without VELNOR_HOST_SDK it includes our
# stand-in's host/QelHost.h; with it, every file of VELNOR_HOST_HEADERS from the SDK's
# include/ by its full path, in that order, and nothing of ours (host/QelHost.h refuses to
# be read then). It also names the connection's two members the header leaves open.
#
# An SDK describes itself in VELNOR_HOST_SDK/velnor-sdk.cmake, which sets any of
# VELNOR_HOST_HEADERS, VELNOR_HOST_TITLE_MEMBER, VELNOR_HOST_OWNER_MEMBER and
# VELNOR_HOST_LIBRARIES with set(); its values win over the cache's.
#
# Used by the build (include()) and by tools that compile against an SDK without it:
#   cmake -DVELNOR_HOST_SDK=DIR -DOUTPUT=FILE -P cmake/HostHeaders.cmake

set(VELNOR_HOST_HEADERS_DEFAULT "host/QelHost.h;host/QelRecords.h")
set(VELNOR_HOST_TITLE_MEMBER_DEFAULT m_strTitle)
set(VELNOR_HOST_OWNER_MEMBER_DEFAULT m_hOwnerWnd)

# Reads the SDK's own description and fills in the defaults.
macro(velnor_read_host_sdk)
  if(VELNOR_HOST_SDK AND EXISTS "${VELNOR_HOST_SDK}/velnor-sdk.cmake")
    include("${VELNOR_HOST_SDK}/velnor-sdk.cmake")
  endif()
  foreach(_velnor_setting HEADERS TITLE_MEMBER OWNER_MEMBER)
    if("${VELNOR_HOST_${_velnor_setting}}" STREQUAL "")
      set(VELNOR_HOST_${_velnor_setting} "${VELNOR_HOST_${_velnor_setting}_DEFAULT}")
    endif()
  endforeach()
endmacro()

# Checks the settings and writes the header to `output` (only when its content changes).
function(velnor_write_host_headers output)
  foreach(member IN ITEMS VELNOR_HOST_TITLE_MEMBER VELNOR_HOST_OWNER_MEMBER)
    if(NOT "${${member}}" MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
      message(FATAL_ERROR "${member} must be the name of a data member, not \"${${member}}\"")
    endif()
  endforeach()
  set(content "// Written by cmake/HostHeaders.cmake: the host's headers and the connection's\n")
  string(APPEND content "// members, as hostbinding/HostBinding.h reads them.\n#pragma once\n")
  if(VELNOR_HOST_SDK)
    file(TO_CMAKE_PATH "${VELNOR_HOST_SDK}" sdk)
    string(APPEND content "#ifndef VELNOR_HOST_SDK_BUILD\n#define VELNOR_HOST_SDK_BUILD 1\n#endif\n")
    set(missing)
    foreach(header IN LISTS VELNOR_HOST_HEADERS)
      if(IS_ABSOLUTE "${header}" OR header MATCHES "[\"\n]")
        message(FATAL_ERROR "VELNOR_HOST_HEADERS names files relative to ${sdk}/include, not \"${header}\"")
      endif()
      if(NOT EXISTS "${sdk}/include/${header}" OR IS_DIRECTORY "${sdk}/include/${header}")
        list(APPEND missing "${header}")
      endif()
      string(APPEND content "#include \"${sdk}/include/${header}\"\n")
    endforeach()
    if(missing)
      list(JOIN missing ", " missing)
      message(FATAL_ERROR "The host SDK ${sdk} lacks headers that VELNOR_HOST_HEADERS names "
                          "(in ${sdk}/include): ${missing}")
    endif()
    if(NOT VELNOR_HOST_HEADERS)
      message(FATAL_ERROR "VELNOR_HOST_HEADERS is empty: name the host SDK's headers")
    endif()
  else()
    string(APPEND content "#include \"host/QelHost.h\"\n")
  endif()
  string(APPEND content "#define VELNOR_HOST_TITLE_MEMBER ${VELNOR_HOST_TITLE_MEMBER}\n")
  string(APPEND content "#define VELNOR_HOST_OWNER_MEMBER ${VELNOR_HOST_OWNER_MEMBER}\n")
  file(WRITE "${output}.new" "${content}")
  configure_file("${output}.new" "${output}" COPYONLY)
  file(REMOVE "${output}.new")
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT OUTPUT)
    message(FATAL_ERROR "usage: cmake [-DVELNOR_HOST_SDK=DIR] -DOUTPUT=FILE -P ${CMAKE_CURRENT_LIST_FILE}")
  endif()
  velnor_read_host_sdk()
  velnor_write_host_headers("${OUTPUT}")
endif()
