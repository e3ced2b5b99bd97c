# The Debian package: `cpack -G DEB` in the build folder gives
# velliant-ftp_<version>_<arch>.deb. dpkg-shlibdeps works out the library
# dependencies from the programs themselves.
set(CPACK_PACKAGE_NAME velliant-ftp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvan Software")
set(CPACK_PACKAGE_CONTACT "Velliant team <support@orvan-software.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "FTP client for people who maintain web sites")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop FTP client with the local files on the left, the server's folder on the right and the FTP dialogue below, saved server profiles, transfers with resume and remote file operations; with vftp, a command-line companion for scripted site updates that uses the same profiles.")
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvan-software.example.com/")
include(CPack)
