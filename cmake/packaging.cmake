# The Debian package, built by `make package` (cpack -G DEB in the build
# folder): what `cmake --install` puts under /usr, that is bin/vistrum, the
# desktop entry, the AppStream metainfo, the hicolor icons, the manual page
# and, in share/doc/vistrum, the changelog and the copyright file (see
# resources/CMakeLists.txt); lintian finds no error or warning in it. The
# version is the project's; the dependencies are the shared libraries the
# program really links (Qt's among them), found by dpkg-shlibdeps (package
# dpkg-dev), so that `apt-get install ./vistrum_<version>_<arch>.deb` pulls
# them in.
# The Windows build (build/win64) makes vistrum-<version>-win64.zip instead:
# vistrum.exe, a short readme and the licence in a folder of that name.
# Included from the top-level CMakeLists.txt.

set(CPACK_PACKAGE_NAME vistrum)
set(CPACK_PACKAGE_VENDOR "The Vistrum developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Lines of the long description in the control file; CPack indents them.
set(CPACK_PACKAGE_DESCRIPTION
    "One click on a preset sets Vistrum's own window to the outer pixel size\n"
    "of a screen resolution, from 640 x 480 up to 3200 x 1200, so that it can\n"
    "be laid over the program being designed to mark out that screen. An\n"
    "imitation task bar shows the room a task bar takes, and 24 background\n"
    "colours try the layout against different backgrounds.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "Vistrum developers <vistrum@invalid.example>")
set(CPACK_STRIP_FILES ON)

if(UNIX AND NOT APPLE)
  set(CPACK_GENERATOR DEB)
else()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME vistrum-${PROJECT_VERSION}-win64)
endif()

set(CPACK_DEBIAN_PACKAGE_NAME vistrum)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # vistrum_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
