# Makes the setup with makensis from the files CPack staged for the zip. Run by CPack
# after zip.cmake, which has dated them with the release: the setup keeps each file's
# date, and makensis adds no time of its own, so the same sources give the same setup.
# The tests run it too, on a folder of their own, to make an older version:
#   cmake -DDOSSIER=FOLDER -DVERSION=X.Y.Z -DSETUP=FILE.exe -DNSI=gavremo.nsi -DTRAVAIL=FOLDER
#         -DMAKENSIS=makensis -P setup.cmake
if(DEFINED CPACK_PACKAGE_FILES)
  # The zip's folder, which the setup installs.
  include(${CMAKE_CURRENT_LIST_DIR}/zip_date.cmake)
  zip_cpack(nom DOSSIER)
  set(SETUP ${CPACK_PACKAGE_DIRECTORY}/${nom}-setup.exe)
  set(VERSION ${CPACK_PACKAGE_VERSION})
  set(NSI ${CPACK_GAVREMO_NSI})
  set(TRAVAIL ${CPACK_GAVREMO_SETUP})
  set(MAKENSIS ${CPACK_GAVREMO_MAKENSIS})
endif()

include(${CMAKE_CURRENT_LIST_DIR}/../composants.cmake)
# What the setup installs: the zip's files, and the notice of NSIS, whose code starts
# the uninstaller it leaves beside them (dated as the game is, since the setup keeps
# each file's date).
set(contenu ${TRAVAIL}/contenu)
file(REMOVE_RECURSE ${contenu})
file(COPY ${DOSSIER}/ DESTINATION ${contenu})
notice(nsis ${nsis_NOTICE})
file(COPY_FILE ${nsis_NOTICE} ${contenu}/LICENSE-${nsis_NOM}.txt)
execute_process(COMMAND touch -r ${DOSSIER}/gavremo.exe ${contenu}/LICENSE-${nsis_NOM}.txt COMMAND_ERROR_IS_FATAL ANY)

# What the setup installs and the uninstaller removes, file by file, sorted: the
# folders the uninstaller then removes when empty, deepest first.
file(GLOB_RECURSE fichiers RELATIVE ${contenu} ${contenu}/*)
list(SORT fichiers)
set(poser "")
set(effacer "")
set(dossiers "")
set(courant "-")
set(octets 0)
foreach(f IN LISTS fichiers)
  get_filename_component(d "${f}" DIRECTORY)
  string(REPLACE "/" "\\" fw "${f}")
  if(NOT d STREQUAL courant)
    set(courant "${d}")
    if(d STREQUAL "")
      string(APPEND poser "SetOutPath \"$INSTDIR\"\n")
    else()
      string(REPLACE "/" "\\" dw "${d}")
      string(APPEND poser "SetOutPath \"$INSTDIR\\${dw}\"\n")
    endif()
    while(NOT d STREQUAL "")
      list(APPEND dossiers "${d}")
      get_filename_component(d "${d}" DIRECTORY)
    endwhile()
  endif()
  string(APPEND poser "File \"${contenu}/${f}\"\n")
  string(APPEND effacer "Delete \"$INSTDIR\\${fw}\"\n")
  file(SIZE ${contenu}/${f} taille)
  math(EXPR octets "${octets} + ${taille}")
endforeach()
list(REMOVE_DUPLICATES dossiers)
list(SORT dossiers)
list(REVERSE dossiers)
foreach(d IN LISTS dossiers)
  string(REPLACE "/" "\\" dw "${d}")
  string(APPEND effacer "RMDir \"$INSTDIR\\${dw}\"\n")
endforeach()
file(MAKE_DIRECTORY ${TRAVAIL})
file(WRITE ${TRAVAIL}/poser.nsh "${poser}")
file(WRITE ${TRAVAIL}/effacer.nsh "${effacer}")

get_filename_component(setup_nom ${SETUP} NAME)
# -WX: a warning of makensis fails the build.
execute_process(COMMAND ${MAKENSIS} -V2 -WX -INPUTCHARSET UTF8
                  -DVERSION=${VERSION} -DSETUP=${SETUP} -DSETUP_NOM=${setup_nom} -DOCTETS=${octets}
                  -DPOSER=${TRAVAIL}/poser.nsh -DEFFACER=${TRAVAIL}/effacer.nsh
                  -DDESINSTALLEUR_COPIE=${TRAVAIL}/desinstaller.exe ${NSI}
                COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "setup: ${SETUP}")

# Its bill of materials beside it, from what it installs, the uninstaller included:
# the zip's components, and NSIS, whose stubs start the setup and the uninstaller.
if(DEFINED CPACK_PACKAGE_FILES)
  file(COPY_FILE ${TRAVAIL}/desinstaller.exe ${contenu}/desinstaller.exe)
  include(${CMAKE_CURRENT_LIST_DIR}/../nomenclature.cmake)
  outils_installes(${CPACK_GAVREMO_OUTILS})
  composants_lien(${CPACK_GAVREMO_LIEN} composants)
  list(APPEND composants nsis)
  notices_fichiers(notices ${composants})
  string(REGEX REPLACE "\\.exe$" ".cdx.json" sortie ${SETUP})
  nomenclature(TITRE "the Windows setup" DOSSIER ${contenu} SORTIE ${sortie} VERSION ${VERSION}
               DATE $ENV{SOURCE_DATE_EPOCH} COMPILATEUR ${CPACK_GAVREMO_COMPILATEUR}
               COMPOSANTS ${composants} NOTICES ${notices})
endif()
