# What the page ships beside the game that plateforme/web/ builds: licences.html, a
# section for each component its link took, and its bill of materials, sbom.cdx.json.

# The notices the licences quote, which a folder swapped by hand may lack, and
# Emscripten's version as installed, which both name: known before anything is compiled.
include(${CMAKE_CURRENT_LIST_DIR}/../composants.cmake)
notice(gavremo ${gavremo_NOTICE})
notice(Blankenburg ${Blankenburg_NOTICE})
set(outils ${CMAKE_BINARY_DIR}/outils.cmake)
outils_installes(${outils})

# What the link took, each archive member.
set(lien ${CMAKE_BINARY_DIR}/lien.txt)
target_link_options(gavremo PRIVATE -Wl,--trace)
set_target_properties(gavremo PROPERTIES RULE_LAUNCH_LINK "${CMAKE_CURRENT_LIST_DIR}/../lien.sh ${lien}")

# What the licences and the bill take from the build.
set(faits ${CMAKE_BINARY_DIR}/page.cmake)
file(CONFIGURE OUTPUT ${faits} CONTENT "set(LIEN ${lien})
set(PAGE ${page})
set(PREFIXE ${GAVREMO_PREFIXE})
set(VERSION ${PROJECT_VERSION})
set(DATE ${GAVREMO_DATE})
set(COMPILATEUR ${CMAKE_CXX_COMPILER})
set(OUTILS ${outils})
")
set(recette licences.cmake licences.html sbom.cmake ../composants.cmake ../nomenclature.cmake ../versions.cmake)
list(TRANSFORM recette PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(APPEND recette ${faits} ${outils})

# The licences once the game is linked, before the offline worker lists the page's
# files (the worker's target waits for this one, so that the rule runs once)...
add_custom_command(OUTPUT ${page}/licences.html
  COMMAND ${CMAKE_COMMAND} -DFAITS=${faits} -P ${CMAKE_CURRENT_LIST_DIR}/licences.cmake
  DEPENDS gavremo ${recette} VERBATIM)
add_custom_target(licences ALL DEPENDS ${page}/licences.html)
add_dependencies(hors-ligne licences)
# ... and the bill last, of every file the page holds.
add_custom_command(OUTPUT ${page}/sbom.cdx.json
  COMMAND ${CMAKE_COMMAND} -DFAITS=${faits} -P ${CMAKE_CURRENT_LIST_DIR}/sbom.cmake
  DEPENDS ${page}/sw.js ${recette} VERBATIM)
add_custom_target(sbom ALL DEPENDS ${page}/sbom.cdx.json)
add_dependencies(sbom hors-ligne)
