# Writes gavremo-VERSION-win32-sources.zip: the Debian source files each DLL of the zip
# was built from, as versions.cmake names them and checked against their sha256 again,
# and the recipe that builds them. Dated with the release and sorted, as the zip is.
#   cmake -DSORTIE=build-windows/gavremo-1.0.0-win32-sources.zip -DCACHE=$GAVREMO_CACHE
#         -DDLLS="SDL;SDL_mixer" -DRECETTE="FILE;…" -DDATE=EPOCH -P sources.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../versions.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/zip_date.cmake)
get_filename_component(nom ${SORTIE} NAME_WLE)
set(travail ${SORTIE}.d)
set(dossier ${travail}/${nom})
file(REMOVE_RECURSE ${travail})
file(MAKE_DIRECTORY ${dossier}/debian ${dossier}/recette)

set(paquets "")
foreach(paquet ${DEBIAN_BIBLIOTHEQUES})
  if(NOT ${paquet}_NOM IN_LIST DLLS)
    continue()
  endif()
  list(APPEND paquets ${paquet})
  foreach(f attendu IN ZIP_LISTS ${paquet}_NOMS ${paquet}_SOMMES)
    file(SHA256 ${CACHE}/debian/${f} somme)
    if(NOT somme STREQUAL attendu)
      message(FATAL_ERROR "${CACHE}/debian/${f} is not the file versions.cmake names (sha256 ${somme})")
    endif()
    file(COPY_FILE ${CACHE}/debian/${f} ${dossier}/debian/${f})
  endforeach()
endforeach()
list(JOIN paquets " " PAQUETS)
foreach(f ${RECETTE})
  get_filename_component(nom ${f} NAME)
  file(COPY_FILE ${f} ${dossier}/recette/${nom})
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/LISEZ-MOI-sources.txt ${dossier}/LISEZ-MOI.txt NEWLINE_STYLE CRLF @ONLY)

# Modes that follow no umask, nor the clone's checkout.
file(GLOB_RECURSE fichiers ${travail}/*)
file(CHMOD ${fichiers} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
zip_date(DOSSIER ${dossier} ZIP ${SORTIE} DATE ${DATE})
file(REMOVE_RECURSE ${travail})
