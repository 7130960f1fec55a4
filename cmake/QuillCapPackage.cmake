# The Debian package (cpack -G DEB, see scripts/package): what install puts
# under /usr, with its library dependencies worked out by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME quillcap)
set(CPACK_PACKAGE_VENDOR "QuillCap developers")
set(CPACK_PACKAGE_CONTACT "QuillCap developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Screen capture for X11 desktops")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "QuillCap waits for Print Screen, freezes every monitor into a shaded"
  "overlay, lets you frame an area with the mouse or the keys and saves it as"
  "BMP, JPG, PNG, GIF or TIF under a templated, numbered name, puts it on the"
  "clipboard, or records it as a movie.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "QuillCap developers")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quillcap.example.org)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no linker dependency names it: TIFF support.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-image-formats-plugins)
include(CPack)
