# The Debian package, built by scripts/package.sh:
#   cpack --config build/CPackConfig.cmake
# It holds what the install rules install, below /usr. Its dependencies are computed from
# the executables by dpkg-shlibdeps; only what Qt loads at run time is named here.
set(TAMISKO_PACKAGE_MAINTAINER "Tamisko developers <tamisko@localhost>"
    CACHE STRING "Maintainer field of the Debian package (name <address>)")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamisko)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tamisko developers")
set(CPACK_PACKAGE_CONTACT "${TAMISKO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "household cash book with a Greek user interface")
# The synopsis is the summary above; CPack indents these lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Οι ταμίσκες μου (Tamisko) keeps a cash book of receipts and payments by
category, shows the running balance, compares the categories over a period,
follows them over consecutive periods, prints and exports the movements and
converts euros and drachmas. A cash book can be protected by a password.

tamisko-tool does the same computations and imports from the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tamisko_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins (the X11 and Wayland windows) are loaded at run time, so
# dpkg-shlibdeps cannot see them; Greek text needs a font that covers it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-liberation2")

# Packaging installs what is built, without building the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

include(CPack)
