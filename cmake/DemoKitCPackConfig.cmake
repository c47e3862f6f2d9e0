# CPack's input for the demo kit (scripts/package): a ZIP of a staging folder that holds
# the kit as it ships, its programs already stripped and signed. CPack copies that folder
# as it is (CPACK_INSTALLED_DIRECTORIES) and installs no project of its own, so nothing is
# built, installed or stripped again after the signing. The script passes with -D:
#   CPACK_PACKAGE_FILE_NAME      Velnor-<version>-demo-<arch>, also the zip's one top folder
#   CPACK_INSTALLED_DIRECTORIES  "<staging folder>;."
#   CPACK_PACKAGE_VERSION        <version>
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Velnor)
set(CPACK_PACKAGE_VENDOR Velnor)
set(CPACK_PACKAGE_DESCRIPTION "Velnor demo kit: the link program with a host simulator and a sample company")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES OFF)
set(CPACK_INSTALL_CMAKE_PROJECTS "")
