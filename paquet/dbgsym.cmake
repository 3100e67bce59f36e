# Run by CPack once the packages are built. Its debug-symbol package lacks what
# every Debian package carries: a documentation folder (here a link to
# gavremo's, as debhelper makes it) and md5sums with paths inside the package.
# Rebuilt with both, and the symbols file not executable.
foreach(paquet IN LISTS CPACK_PACKAGE_FILES)
  if(NOT paquet MATCHES "-dbgsym_[^/]*\\.ddeb$")
    continue()
  endif()
  set(arbre ${paquet}.arbre)
  file(REMOVE_RECURSE ${arbre})
  execute_process(COMMAND dpkg-deb -R ${paquet} ${arbre} COMMAND_ERROR_IS_FATAL ANY)
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
  execute_process(COMMAND dpkg-deb --root-owner-group -b ${arbre} ${paquet}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${arbre})
endforeach()
