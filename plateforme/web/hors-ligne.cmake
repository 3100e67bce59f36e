# Run by the build once the game is linked: copies the page's own files beside it,
# writes licences.html (licences.cmake), then sw.js with the list of every file and a
# cache name made of their hash, so each build of different files has a cache of its
# own, and last the page's bill of materials.
#   cmake -DSOURCE=plateforme/web -DPAGE=build-web/page -DFAITS=build-web/page.cmake -P hors-ligne.cmake
# FAITS, written by web.cmake, names the link's trace, the clone, the libraries, the
# version, the date and the compiler.
cmake_minimum_required(VERSION 3.25)
include(${FAITS})
set(propres index.html manifest.webmanifest icone-192.png icone-512.png)
foreach(f ${propres})
  configure_file(${SOURCE}/${f} ${PAGE}/${f} COPYONLY)
endforeach()
include(${RACINE}/publication/page/licences.cmake)
set(fichiers ${propres} licences.html gavremo.js gavremo.wasm)
set(empreintes "")
set(FICHIERS "'./'")
foreach(f ${fichiers})
  file(SHA256 ${PAGE}/${f} h)
  string(APPEND empreintes "${f} ${h}\n")
  string(APPEND FICHIERS ", '${f}'")
endforeach()
string(SHA256 h "${empreintes}")
string(SUBSTRING ${h} 0 16 h)
set(NOM "gavremo-${h}")
configure_file(${SOURCE}/sw.js ${PAGE}/sw.js @ONLY)

# Each text-like file beside a brotli and a gzip copy, for a server that sends them to
# a browser that takes them (scripts/web.sh --serve): a third of the bytes, made once
# here rather than at every request. Both tools give the same bytes for the same file;
# gzip -n leaves out the name and date.
find_program(BROTLI brotli REQUIRED)
find_program(GZIP gzip REQUIRED)
foreach(f index.html licences.html manifest.webmanifest sw.js gavremo.js gavremo.wasm)
  execute_process(COMMAND ${BROTLI} -q 11 -f -o ${PAGE}/${f}.br ${PAGE}/${f} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${GZIP} -9 -n -c ${PAGE}/${f} OUTPUT_FILE ${PAGE}/${f}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# Its bill of materials, which the game never asks for: each notice a section of
# licences.html.
include(${RACINE}/publication/nomenclature.cmake)
set(notices ${COMPOSANTS})
list(TRANSFORM notices PREPEND "licences.html#")
nomenclature(TITRE "the web page" DOSSIER ${PAGE} SORTIE ${PAGE}/sbom.cdx.json VERSION ${VERSION} DATE ${DATE}
             COMPILATEUR ${COMPILATEUR} COMPOSANTS ${COMPOSANTS} NOTICES ${notices})
