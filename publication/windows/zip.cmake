# Run by CPack once it has made the zip, which lists the files in the order the folder
# gives them, with their access and change times: written again by zip_date, dated
# with the release (SOURCE_DATE_EPOCH, set for CPack by durcissement.cmake), so that the
# same sources give the same zip.
include(${CMAKE_CURRENT_LIST_DIR}/zip_date.cmake)
zip_cpack(nom dossier)
zip_date(DOSSIER ${dossier} ZIP ${CPACK_PACKAGE_FILES} DATE $ENV{SOURCE_DATE_EPOCH})

# Its bill of materials beside it: the game, its font, and what the link put in the exe.
include(${CMAKE_CURRENT_LIST_DIR}/../nomenclature.cmake)
outils_installes(${CPACK_GAVREMO_OUTILS})
composants_lien(${CPACK_GAVREMO_LIEN} composants)
notices_fichiers(notices ${composants})
nomenclature(TITRE "the Windows zip" DOSSIER ${dossier} SORTIE ${CPACK_PACKAGE_DIRECTORY}/${nom}.cdx.json
             VERSION ${CPACK_PACKAGE_VERSION} DATE $ENV{SOURCE_DATE_EPOCH} COMPILATEUR ${CPACK_GAVREMO_COMPILATEUR}
             COMPOSANTS ${composants} NOTICES ${notices})
