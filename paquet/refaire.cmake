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
  execute_process(COMMAND dpkg-deb --root-owner-group -b ${arbre} ${paquet}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${arbre})
endforeach()
