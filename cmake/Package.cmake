# The Debian package: `make package` -> build/darvex_<version>_<arch>.deb.
# dpkg's file triggers of shared-mime-info, desktop-file-utils and hicolor-icon-theme pick up
# the MIME type, menu entry and icons, so the package has no maintainer scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME darvex)
set(CPACK_PACKAGE_VENDOR "Darvex developers")
set(CPACK_PACKAGE_CONTACT "${DARVEX_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file manager for Sharp MZ-80B/2000/2500 floppy disk images")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR})
# MIT; the package carries the terms in usr/share/doc/darvex/copyright.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DARVEX_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${DARVEX_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-ipafont-gothic)
# wx's own texts (file choosers, print preview, its messages) in the user's language; the
# libraries dpkg-shlibdeps finds are added to this.
if(TARGET darvex)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS wx3.2-i18n)
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary on the first line itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Darvex opens the D88 floppy disk images that emulators of the Sharp MZ-80B,
MZ-2000, MZ-2200 and MZ-2500 computers use, shows the directory tree and files
of the MZ file system, extracts files (as MZT tape files or plain binaries),
adds host files, deletes files, reads and registers the boot program, formats
blank disks and saves the image as D88. It is free software under the MIT
licence.
")
if(TARGET darvex)
    string(APPEND CPACK_DEBIAN_PACKAGE_DESCRIPTION "
The package holds the desktop program darvex, with a Japanese user interface,
and darvex-cli, a scriptable command-line tool over the same core.")
else()
    string(APPEND CPACK_DEBIAN_PACKAGE_DESCRIPTION "
The package holds darvex-cli, a scriptable command-line tool.")
endif()

include(CPack)
