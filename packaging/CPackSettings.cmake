# The Debian package, built with `cpack -G DEB` in the build folder: velmora_<version>_<arch>.deb,
# installing under /usr. Depends is worked out from the program's libraries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora Messenger developers")
set(CPACK_PACKAGE_CONTACT "Velmora Messenger developers <developers@velmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop chat client for the Velmora IRC network")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmora Messenger signs in to the Velmora IRC network, joins a room and shows its \
conversation, topic and members, with IRC colours, bold, underline and reverse text. It talks \
privately with other members, blocks nicknames, works with NickServ and opens irc:// addresses.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Stands in for Comic Sans MS, which the windows are designed in; the libraries' own
# dependencies are added to it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-comic-neue")
