# Run by CPack once the packages are built: each is rebuilt by dpkg-deb, so that
# it is the same bytes whatever the builder's umask. CPack takes the modes of
# some folders from the umask and writes the members of the ar archive with
# them; dpkg-deb writes those members with fixed modes, owners and the date.
foreach(paquet IN LISTS CPACK_PACKAGE_FILES)
  set(arbre ${paquet}.arbre)
  file(REMOVE_RECURSE ${arbre})
  execute_process(COMMAND dpkg-deb -R ${paquet} ${arbre} COMMAND_ERROR_IS_FATAL ANY)
  # The debug-symbol package lacks what every Debian package carries: a
  # documentation folder (here a link to gavremo's, as debhelper makes it) and
  # md5sums with paths inside the package. The symbols file is not executable.
  if(paquet MATCHES "-dbgsym_[^/]*\\.ddeb$")
    file(MAKE_DIRECTORY ${arbre}/usr/share/doc)
    file(CREATE_LINK gavremo ${arbre}/usr/share/doc/gavremo-dbgsym SYMBOLIC)
    file(GLOB_RECURSE symboles RELATIVE ${arbre} ${arbre}/usr/lib/debug/*)
    set(sommes "")
    foreach(f IN LISTS symboles)
      file(CHMOD ${arbre}/${f} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
      file(MD5 ${arbre}/${f} somme)
      string(APPEND sommes "${somme}  ${f}\n")
    endforeach()
    file(WRITE ${arbre}/DEBIAN/md5sums "${sommes}")
  endif()
  # Folders and programs 0755, every other file 0644; links are left alone.
  execute_process(COMMAND chmod -R u=rwX,go=rX ${arbre} COMMAND_ERROR_IS_FATAL ANY)
  # Installed-Size from the files themselves, as dpkg-gencontrol counts it: each file
  # or link its size in KiB rounded up (a file linked twice once), anything else (a
  # folder, the root and DEBIAN too) 1; not the control and md5sums it has not written
  # yet. CPack counts the blocks the build's file system gives, which a tmpfs counts
  # otherwise than a disk.
  execute_process(COMMAND find ${arbre} ! -path ${arbre}/DEBIAN/control ! -path ${arbre}/DEBIAN/md5sums
                          -printf "%y %s %n %i\\n"
                  COMMAND awk "$1 !~ /^[fl]$/ { n += 1; next }
                               !($4 in vu) { n += int(($2 + 1023) / 1024); if ($3 > 1) vu[$4] = 1 }
                               END { print n }"
                  OUTPUT_VARIABLE taille OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  file(READ ${arbre}/DEBIAN/control controle)
  string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${taille}\n" controle "${controle}")
  file(WRITE ${arbre}/DEBIAN/control "${controle}")
  execute_process(COMMAND dpkg-deb --root-owner-group -b ${arbre} ${paquet}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  # The game's bill of materials beside it: its files, and the packages it depends on.
  if(paquet MATCHES "\\.deb$")
    set(SORTE deb)
    set(DOSSIER ${arbre})
    set(CONTROLE ${arbre}/DEBIAN/control)
    get_filename_component(nom ${paquet} NAME_WLE)
    set(SORTIE ${CPACK_PACKAGE_DIRECTORY}/${nom}.cdx.json)   # where CPack puts the .deb
    set(VERSION ${CPACK_PACKAGE_VERSION})
    set(DATE $ENV{SOURCE_DATE_EPOCH})
    set(COMPILATEUR ${CPACK_GAVREMO_COMPILATEUR})
    include(${CMAKE_CURRENT_LIST_DIR}/../plateforme/nomenclature.cmake)
  endif()
  file(REMOVE_RECURSE ${arbre})
endforeach()
