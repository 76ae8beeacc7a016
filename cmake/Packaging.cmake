# The Debian packages, made by CPack's DEB generator from the install rules (`make package`):
#   firmupdater        the update tool, fwimage, the udev rule, the desktop entry and the
#                      file type of firmware images, the icon, AppStream metadata, manual pages
#   firmupdater-tools  watchsim, the virtual watch for support staff and tests (needs FUSE)
# CPack rather than a debian/ directory: the packages come from the same install rules and
# the same build folder as `cmake --install`, the version is the project's own (the one
# `firmupdater --version` prints), and no debhelper or source-package machinery is needed
# to cut two binary packages. Dependencies come from dpkg-shlibdeps.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME firmupdater)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "FirmUpdater maintainers")
set(CPACK_PACKAGE_CONTACT "FirmUpdater maintainers <maintainers@firmupdater.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL firmupdater tools)
set(CPACK_COMPONENTS_GROUPING IGNORE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE firmupdater)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_FIRMUPDATER_PACKAGE_NAME firmupdater)
set(CPACK_COMPONENT_FIRMUPDATER_DESCRIPTION
    "firmware update tool for the KORVELIN running watch
Updates the firmware of the KORVELIN running watch in its USB cradle from a
firmware image: it checks the image, finds the watch, sets its clock, compares
the versions and asks before it writes anything, in a window or in the
terminal.

The package lets the user at the seat reach the watch without root, opens
firmware images from the desktop, and includes fwimage to inspect and build
image files.")
set(CPACK_DEBIAN_FIRMUPDATER_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/dist/deb/postinst ${PROJECT_SOURCE_DIR}/dist/deb/postrm)

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME firmupdater-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION devel)
# fusermount3 mounts and unmounts the virtual watch's nodes; dpkg-shlibdeps adds the library.
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS fuse3)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "virtual watch for testing the KORVELIN firmware update tool
watchsim presents virtual KORVELIN watches as hidraw device nodes through
FUSE, with their memory in state files and faults on request, so that the
update tool can be tried and tested without a watch.")

include(CPack)
