# make package: a Debian package of the engine, its tools and the codecs modules, with what a
# desktop shows of it. dpkg-shlibdeps finds the shared libraries the programs link; fonts and the
# SoundFont are files the engine opens, so they are named here.
install(FILES share/adv.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# make package builds first; cpack (and the package test) only collect what is built.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME adv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "visual novel player for Shift-JIS scenario games")
set(CPACK_PACKAGE_DESCRIPTION "adv plays Japanese visual novels: a game is a folder of \
Shift-JIS scenario scripts, pictures, sounds and music, and adv shows it in a 640 x 480 window \
or full screen.")
set(CPACK_PACKAGE_CONTACT "adv maintainers <maintainers@users.noreply.c-seed-c236c9d8.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libsdl2-image-2.0-0, fontconfig, fonts-ipafont-gothic, fonts-ipafont-mincho, fluid-soundfont-gm | timgm6mb-soundfont | musescore-general-soundfont")
include(CPack)
