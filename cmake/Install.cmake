# What `cmake --install` puts under the prefix and what `cpack -G DEB` packs. The program finds its
# shipped start files at <its folder>/../share/rovik, so the layout below is fixed, not configurable.
set(rovik_share share/rovik)
set(rovik_id org.example.Rovik)
set(desktop_source ${PROJECT_SOURCE_DIR}/resources/desktop)

install(TARGETS rovik rovik-cli RUNTIME DESTINATION bin)
# The start files as the build gathers them (the shipped ones plus the PDB written from the sample).
install(DIRECTORY ${PROJECT_BINARY_DIR}/resources/start/ DESTINATION ${rovik_share})
install(FILES ${desktop_source}/${rovik_id}.desktop DESTINATION share/applications)
install(FILES ${desktop_source}/${rovik_id}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${desktop_source}/${rovik_id}.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${desktop_source}/${rovik_id}-48.png DESTINATION share/icons/hicolor/48x48/apps
  RENAME ${rovik_id}.png)
install(FILES ${PROJECT_SOURCE_DIR}/resources/man/rovik-cli.1 DESTINATION share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rovik)
set(CPACK_PACKAGE_VENDOR "Rovik desktop developers")
set(CPACK_PACKAGE_CONTACT "Rovik desktop developers <rovik-desktop@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Edit and drill question-and-answer data for a Palm handheld")
set(CPACK_PACKAGE_DESCRIPTION
  "The desktop companion of Rovik, a question-and-answer drill application for Palm OS handhelds: \
it loads, checks, edits and drills QA text files, converts them to Palm databases and back, and \
reserves them for installation at the next HotSync. Includes the command-line tool rovik-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://example.org/rovik/)
# The Qt and C++ libraries come from dpkg-shlibdeps; what the binaries load without linking is
# named here: the X11 platform plugin, Qt's own translations, and the fonts that stand in for
# the Windows fonts the windows name. SQLite, Qt Charts, libzip and zstd are named as well: the quiz
# history and the deck imports cannot work without them, whatever dpkg-shlibdeps finds.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libsqlite3-0, libqt6charts6, libzip4, libzstd1, qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-gothic | fonts-noto-cjk, fonts-ipafont-mincho | fonts-noto-cjk")
# The help menu opens the HTML help through xdg-open. Qt 6 reaches ibus through its own plugin,
# fcitx5 only through the frontend package: without it Japanese cannot be typed under fcitx5.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fcitx5-frontend-qt6")
include(CPack)
