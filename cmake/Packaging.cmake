# `cpack -G DEB` in a build folder: a Debian package of everything `cmake --install` installs.
set(CPACK_PACKAGE_NAME pelorin)
set(CPACK_PACKAGE_VENDOR Pelorin)
set(CPACK_PACKAGE_CONTACT "Pelorin developers <pelorin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "places bat recordings on a GPS track and writes KML")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads a GPS log (GPX), corrects the recorder's clock by an offset, places each recording on the track by \
its start time and writes KML. The batch command pelorin, the host pelorin-host and its plug-in.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Depends from the libraries the binaries link (dpkg-shlibdeps); the framework is our own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)

include(CPack)
