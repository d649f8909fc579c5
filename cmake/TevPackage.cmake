# make package: a Debian package of what cmake --install puts in place. Its dependencies
# come from the libraries the installed binaries link (dpkg-shlibdeps), so they follow the
# OpenCV and GStreamer the package was built against.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tev-fire-smoke)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TEV fire and smoke detection")
set(CPACK_PACKAGE_CONTACT "TEV fire and smoke detection team <tev@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Fire and smoke detection plug-in for video-analytics hosts, with tev-host and a GStreamer element")
set(CPACK_PACKAGE_DESCRIPTION
    "TEVCustomFireNSmokeDetection, a plug-in module that video-analytics hosts load, with the "
    "stand-in inference library it runs on, the default models, the command-line host tev-host, "
    "the evaluation tool tev-eval, the scene generator tev-scene and the GStreamer element "
    "tevfiresmoke.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
