# What a Windows build installs, in two components:
#   programs  VelnorPro.exe and VelnorStd.exe: the customer release, which goes beside the
#             host's own libraries; `cpack` in a build makes its zip of just these two.
#   demo      what the demo kit (scripts/package) adds around them to run without a host:
#             the stand-in host's DLL, the host simulator, the sample company with folders
#             of the kit's own, a definition file of link level 2, a how-to and the licence
#             notices of what the files contain.
if(NOT WIN32)
  return()
endif()

# The kit's version: the program files' version text and the build number, as
# res/Version.h gives them ("20.00.00" and 0 make 20.00.00.0).
file(READ ${PROJECT_SOURCE_DIR}/res/Version.h velnor_version_header)
# The files read here make the build configure again when they change.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/res/Version.h ${PROJECT_SOURCE_DIR}/samples/host/HostData.json)
foreach(part MAJOR MINOR PATCH BUILD)
  if(NOT velnor_version_header MATCHES "#define VELNOR_VERSION_${part} ([0-9]+)")
    message(FATAL_ERROR "res/Version.h defines no VELNOR_VERSION_${part}")
  endif()
  set(velnor_version_${part} ${CMAKE_MATCH_1})
endforeach()
set(VELNOR_PACKAGE_VERSION
  "${velnor_version_MAJOR}.${velnor_version_MINOR}.${velnor_version_PATCH}.${velnor_version_BUILD}"
  CACHE INTERNAL "The version in the names of the release zip and the demo kit")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(velnor_package_arch x86)
else()
  set(velnor_package_arch x64)
endif()

install(TARGETS VelnorPro VelnorStd RUNTIME DESTINATION . COMPONENT programs)
# The build against the vendor's SDK makes the programs only: no demo around them.
if(NOT VELNOR_HOST_SDK)
# The stand-in's import library is of no use in the kit: a component that nothing installs.
install(TARGETS velnor_host_standin host-simulator
  RUNTIME DESTINATION . COMPONENT demo
  ARCHIVE DESTINATION lib COMPONENT standin-import-library EXCLUDE_FROM_ALL)

# The sample company names the host's folders (C:\Borlex\...): the default destination's
# folder and the folder of the remembered destination file, which a run creates and
# writes. A kit can be unpacked on a machine with a host installation, so its copy names
# none of the host's folders: no host folder (the default destination is then in the
# user's temporary folder), and the data folder inside the kit, relative to the folder
# the demo is started in.
set(velnor_kit ${CMAKE_BINARY_DIR}/kit)
file(READ ${PROJECT_SOURCE_DIR}/samples/host/HostData.json velnor_sample)
string(REPLACE "\"0\": \"C:\\\\Borlex\\\\\"" "\"0\": \"\"" velnor_kit_sample "${velnor_sample}")
string(REPLACE "\"1\": \"C:\\\\Borlex\\\\Data\\\\ABC0001\\\\\"" "\"1\": \"Data\\\\ABC0001\\\\\""
  velnor_kit_sample "${velnor_kit_sample}")
if(velnor_kit_sample MATCHES "Borlex\\\\\\\\")
  message(FATAL_ERROR "samples/host/HostData.json: the kit's copy still names a host folder")
endif()
file(CONFIGURE OUTPUT ${velnor_kit}/HostData.json CONTENT "${velnor_kit_sample}" @ONLY)
# The receiving product's definition file at the link level the programs expect.
file(CONFIGURE OUTPUT ${velnor_kit}/MerovinDef.ini CONTENT "[ProgramLevel]\nMV14_G=2\n"
  NEWLINE_STYLE CRLF)
# The texts with Windows line ends.
foreach(text README.txt LICENSES.txt)
  configure_file(${PROJECT_SOURCE_DIR}/package/${text} ${velnor_kit}/${text} @ONLY NEWLINE_STYLE CRLF)
endforeach()

# The data folder is shipped, empty: the program creates folders only below a drive.
install(DIRECTORY DESTINATION Data/ABC0001 COMPONENT demo)
install(FILES ${velnor_kit}/HostData.json ${velnor_kit}/MerovinDef.ini ${velnor_kit}/README.txt
  ${velnor_kit}/LICENSES.txt DESTINATION . COMPONENT demo)
endif()

# `cpack` in this build: the customer release, one zip of the two programs in a folder of
# their own. The demo kit is zipped by scripts/package from its signed staging folder.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Velnor)
set(CPACK_PACKAGE_VENDOR Velnor)
set(CPACK_PACKAGE_VERSION ${VELNOR_PACKAGE_VERSION})
set(CPACK_PACKAGE_FILE_NAME Velnor-${VELNOR_PACKAGE_VERSION}-${velnor_package_arch})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENTS_ALL programs)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_STRIP_FILES ON)
include(CPack)
