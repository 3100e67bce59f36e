# Debian's games layout: the launcher in games/, the data it changes into in
# share/games/gavremo, the program itself in libexec/gavremo. debian/ packages what
# this installs; the copyright and changelogs are debhelper's to install.
install(TARGETS gavremo DESTINATION libexec/gavremo)
install(PROGRAMS paquet/gavremo DESTINATION games)
install(DIRECTORY rsrc_img font son DESTINATION share/games/gavremo PATTERN "LICENSE*" EXCLUDE)
install(FILES paquet/gavremo.desktop DESTINATION share/applications)
install(FILES paquet/org.example.gavremo.metainfo.xml DESTINATION share/metainfo)
install(FILES paquet/gavremo.png DESTINATION share/icons/hicolor/48x48/apps)
install(FILES paquet/gavremo.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES paquet/gavremo.6 DESTINATION share/man/man6)
