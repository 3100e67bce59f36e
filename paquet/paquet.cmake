# Debian's games layout: the launcher in games/, the data it changes into in
# share/games/gavremo, the program itself in libexec/gavremo.
install(TARGETS gavremo DESTINATION libexec/gavremo)
install(PROGRAMS paquet/gavremo DESTINATION games)
install(DIRECTORY rsrc_img font son DESTINATION share/games/gavremo PATTERN "LICENSE*" EXCLUDE)
install(FILES paquet/gavremo.desktop DESTINATION share/applications)
install(FILES paquet/org.example.gavremo.metainfo.xml DESTINATION share/metainfo)
install(FILES paquet/gavremo.png DESTINATION share/icons/hicolor/48x48/apps)
install(FILES paquet/gavremo.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES paquet/copyright DESTINATION share/doc/gavremo)

# Compressed as Debian wants them: best ratio, no name or date inside.
foreach(doc gavremo.6 changelog)
  add_custom_command(OUTPUT ${doc}.gz DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${doc}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/${doc} ${doc}
    COMMAND gzip -9nf ${doc})
endforeach()
add_custom_target(docs ALL DEPENDS gavremo.6.gz changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/gavremo.6.gz DESTINATION share/man/man6)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION share/doc/gavremo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gavremo)
set(CPACK_PACKAGE_CONTACT "Gavremo developers <gavremo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small target shooting game")
# Lines kept short: each becomes one line of the package's extended description.
set(CPACK_PACKAGE_DESCRIPTION "A target appears at random places in a window: aim the crosshair
with the mouse and click it before it moves on. A hit scores more the longer
the target had been standing and makes later targets stay less; a miss costs
a point and a target left unhit costs fifteen. When the score drops below zero
the game is over.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${GAVREMO_ARCH})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libsdl1.2debian (>= 1.2.15), libsdl-image1.2, libsdl-ttf2.0-0, libsdl-mixer1.2, libgif7, libjpeg62-turbo, libc6, libstdc++6, libgcc-s1")
# CPack strips the packaged binary and puts its debugging symbols in gavremo-dbgsym,
# which refaire.cmake completes; one source for both, so its documentation can be gavremo's.
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/refaire.cmake)
set(CPACK_GAVREMO_COMPILATEUR ${CMAKE_CXX_COMPILER})   # named in its bill of materials
set(CPACK_DEBIAN_PACKAGE_SOURCE gavremo)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
