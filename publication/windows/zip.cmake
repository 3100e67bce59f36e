# Run by CPack once it has made the zip, which lists the files in the order the folder
# gives them, with their access and change times: written again by zip_date, dated
# with the release (SOURCE_DATE_EPOCH, set for CPack by durcissement.cmake), so that the
# same sources give the same zip.
include(${CMAKE_CURRENT_LIST_DIR}/zip_date.cmake)
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(nom ${zip} NAME)
  string(REGEX REPLACE "\\.zip$" "" nom ${nom})
  set(dossier ${CPACK_TOPLEVEL_DIRECTORY})
  if(NOT IS_DIRECTORY ${dossier}/${nom})
    message(FATAL_ERROR "zip.cmake: no ${dossier}/${nom} to write ${zip} from")
  endif()
  zip_date(DOSSIER ${dossier}/${nom} ZIP ${zip} DATE $ENV{SOURCE_DATE_EPOCH})
  # Its bill of materials beside it: the game, its font, and what the link put in the exe.
  include(${CMAKE_CURRENT_LIST_DIR}/../nomenclature.cmake)
  outils_installes(${CPACK_GAVREMO_OUTILS})
  composants_lien(${CPACK_GAVREMO_LIEN} composants)
  notices_fichiers(notices ${composants})
  nomenclature(TITRE "the Windows zip" DOSSIER ${dossier}/${nom} SORTIE ${CPACK_PACKAGE_DIRECTORY}/${nom}.cdx.json
               VERSION ${CPACK_PACKAGE_VERSION} DATE $ENV{SOURCE_DATE_EPOCH} COMPILATEUR ${CPACK_GAVREMO_COMPILATEUR}
               COMPOSANTS ${composants} NOTICES ${notices})
endforeach()
