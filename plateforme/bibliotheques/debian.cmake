# Fetches one Debian source package from the archive, checks each file against its
# sha256 in versions.cmake, and unpacks it with Debian's patches into SOURCE; then
# writes its licence into LICENCES, under the name the game ships it as.
#   cmake -DPAQUET=giflib -DMIROIR=URL -DDEPOT=DIR -DSOURCE=DIR -DLICENCES=DIR -P debian.cmake
include(${CMAKE_CURRENT_LIST_DIR}/versions.cmake)
set(version ${${PAQUET}_DEBIAN})
set(fichiers ${${PAQUET}_FICHIERS})
# The archive's folder: pool/main/g/giflib, pool/main/libs/libsdl1.2.
string(REGEX MATCH "^(lib.|.)" initiale ${PAQUET})
file(MAKE_DIRECTORY ${DEPOT})
file(LOCK ${DEPOT}/${PAQUET}.verrou)
list(LENGTH fichiers n)
math(EXPR dernier "${n} - 1")
foreach(i RANGE 0 ${dernier} 2)
  math(EXPR j "${i} + 1")
  list(GET fichiers ${i} nom)
  list(GET fichiers ${j} attendu)
  set(f ${DEPOT}/${nom})
  if(EXISTS ${f})
    file(SHA256 ${f} somme)
    if(somme STREQUAL attendu)
      continue()
    endif()
  endif()
  string(REPLACE "+" "%2b" adresse ${MIROIR}/pool/main/${initiale}/${PAQUET}/${nom})
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
endforeach()

# Every file was checked above, the .dsc included, so dpkg-source needs no keyring.
list(GET fichiers 0 dsc)
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
