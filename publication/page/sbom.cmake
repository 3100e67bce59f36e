# The page's bill of materials, which the game never asks for, once every file of the
# page is written (the offline worker and the compressed copies too): its components
# what the link took, each notice a section of licences.html.
#   cmake -DFAITS=build-web/page.cmake -P sbom.cmake
cmake_minimum_required(VERSION 3.25)
include(${FAITS})
include(${CMAKE_CURRENT_LIST_DIR}/../nomenclature.cmake)
outils_installes(${OUTILS})
composants_lien(${LIEN} composants)
set(notices ${composants})
list(TRANSFORM notices PREPEND "licences.html#")
nomenclature(TITRE "the web page" DOSSIER ${PAGE} SORTIE ${PAGE}/sbom.cdx.json VERSION ${VERSION} DATE ${DATE}
             COMPILATEUR ${COMPILATEUR} COMPOSANTS ${composants} NOTICES ${notices})
