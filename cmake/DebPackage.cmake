# The Debian package: `make deb` (cpack -G DEB) packs what `make install`
# installs under /usr, as zindleclock_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zindleclock)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "The Zindle Clock developers <maintainers@zindleclock.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "character clock for the desktop with chimes and alarms")
# The summary above is the first line; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Zindle Clock shows a frameless clock on the desktop that takes the outline
of a skin picture, with a dial, a character and three hands. It fades while
the mouse is away, can be tinted, resized, kept on top and hidden to the
tray; it chimes or speaks the hour, keeps alarms, sets the computer's clock
by hand or from a time server, and installs skin packages.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zindleclock.example.org")
# Libraries from the binary; what it only loads at run time is named here:
# SDL_mixer (opened by the first sound; its length and position calls came
# with 2.6), libzip (opened by the first package), MIDI through Timidity's
# patches, and the Wayland platform for sessions without XWayland. The icon
# ships as pictures: no SVG engine is needed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-mixer-2.0-0 (>= 2.6.0), libzip4 (>= 1.7.3)")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "timidity, freepats, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Files 0644 and folders 0755 whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
