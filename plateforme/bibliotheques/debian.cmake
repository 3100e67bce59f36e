# Fetches one Debian source package from the archive, checks each file against its
# sha256 in versions.cmake, and unpacks it with Debian's patches into SOURCE; then
# writes its licence into LICENCES, under the name the game ships it as.
#   cmake -DPAQUET=giflib [-DMIROIR=URL] -DDEPOT=DIR -DSOURCE=DIR -DLICENCES=DIR -P debian.cmake
# With -DDSC_SEUL=ON, fetches only its .dsc, and checks that it gives the other files
# the sha256 of versions.cmake: for DEBIAN_EMPRUNTS, whose sources the build never
# unpacks, but which the bills of materials name.
include(${CMAKE_CURRENT_LIST_DIR}/versions.cmake)
set(version ${${PAQUET}_DEBIAN})

# The Debian archive apt uses here (not its security one), unless MIROIR names one.
if(NOT MIROIR)
  file(GLOB listes /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
  foreach(l ${listes})
    file(STRINGS ${l} lignes REGEX "^(URIs:|deb )")
    foreach(ligne ${lignes})
      if(NOT MIROIR AND NOT ligne MATCHES security AND ligne MATCHES "(https?://[^ ]+)")
        string(REGEX REPLACE "/$" "" MIROIR ${CMAKE_MATCH_1})
      endif()
    endforeach()
  endforeach()
  if(NOT MIROIR)
    set(MIROIR http://deb.debian.org/debian)
  endif()
endif()

file(MAKE_DIRECTORY ${DEPOT})
file(LOCK ${DEPOT}/${PAQUET}.verrou)
foreach(nom attendu IN ZIP_LISTS ${PAQUET}_NOMS ${PAQUET}_SOMMES)
  set(f ${DEPOT}/${nom})
  set(somme "")
  if(EXISTS ${f})
    file(SHA256 ${f} somme)
  endif()
  if(NOT somme STREQUAL attendu)
    debian_adresse(${MIROIR} ${PAQUET} ${nom} adresse)
    file(DOWNLOAD ${adresse} ${f}.part STATUS etat)
    list(GET etat 0 code)
    if(code)
      file(REMOVE ${f}.part)
      list(GET etat 1 raison)
      message(FATAL_ERROR "${MIROIR} does not serve ${PAQUET} ${version} (${nom}: ${raison}). "
              "If Debian has moved on, name the version it serves now, and the sha256 of its files, "
              "in plateforme/bibliotheques/versions.cmake.")
    endif()
    file(SHA256 ${f}.part somme)
    if(NOT somme STREQUAL attendu)
      file(REMOVE ${f}.part)
      message(FATAL_ERROR "${adresse} is not the file named in versions.cmake: sha256 ${somme}, not ${attendu}")
    endif()
    file(RENAME ${f}.part ${f})
  endif()
  # The .dsc comes first: it names the package's other files, and their sha256 must be
  # the ones of versions.cmake. With DSC_SEUL, that is all there is to check.
  if(nom MATCHES "\\.dsc$")
    file(STRINGS ${f} lignes REGEX "^ [0-9a-f]+ [0-9]+ ")
    foreach(ligne ${lignes})
      # Those of Checksums-Sha256, not of Files (md5) nor of Checksums-Sha1.
      string(REGEX MATCH "^ ([0-9a-f]+) [0-9]+ (.+)$" _ "${ligne}")
      string(LENGTH "${CMAKE_MATCH_1}" longueur)
      if(NOT longueur EQUAL 64)
        continue()
      endif()
      list(FIND ${PAQUET}_NOMS "${CMAKE_MATCH_2}" i)
      if(i LESS 0)
        message(FATAL_ERROR "${nom} names ${CMAKE_MATCH_2}, which versions.cmake does not")
      endif()
      list(GET ${PAQUET}_SOMMES ${i} somme)
      if(NOT somme STREQUAL CMAKE_MATCH_1)
        message(FATAL_ERROR "${nom} gives ${CMAKE_MATCH_2} the sha256 ${CMAKE_MATCH_1}, versions.cmake ${somme}")
      endif()
    endforeach()
    if(DSC_SEUL)
      return()
    endif()
  endif()
endforeach()

# Every file was checked above, the .dsc included, so dpkg-source needs no keyring.
list(GET ${PAQUET}_NOMS 0 dsc)
file(REMOVE_RECURSE ${SOURCE} ${SOURCE}.x)
execute_process(COMMAND dpkg-source --no-check -x ${DEPOT}/${dsc} ${SOURCE}.x
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(RENAME ${SOURCE}.x ${SOURCE})

set(texte "")
foreach(l ${${PAQUET}_LICENCE})
  file(READ ${SOURCE}/${l} t)
  string(APPEND texte "${t}")
endforeach()
if(NOT texte MATCHES "[a-zA-Z]")
  message(FATAL_ERROR "${PAQUET}: no text of its licence (${PAQUET}_LICENCE in versions.cmake: '${${PAQUET}_LICENCE}')")
endif()
file(WRITE ${LICENCES}/${${PAQUET}_NOM}.txt "${texte}")
