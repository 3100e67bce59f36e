# The game in a web page, with Emscripten's own SDL 1.2 and what this folder adds to
# it. The page goes to page/ in the build folder: index.html, gavremo.js and
# gavremo.wasm, and what installs it and lets it start offline: manifest.webmanifest,
# its icons and sw.js.
foreach(f ${ASSETS})
  if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${f})
    message(FATAL_ERROR "${f} is missing, the page would not start (scripts/assets.sh remakes it)")
  endif()
endforeach()

# Debian 12's Emscripten (3.1.6) makes a page that stops at its start with -O3, a
# release build's default: "Cannot read properties of undefined (reading 'apply')".
set(CMAKE_C_FLAGS_RELEASE -O2)
set(CMAKE_CXX_FLAGS_RELEASE -O2)

# FreeType, libjpeg-turbo and giflib, built with Emscripten from Debian's sources into
# the cache.
include(${CMAKE_CURRENT_LIST_DIR}/../bibliotheques/cache.cmake)
bibliotheques(web)
list(APPEND CMAKE_FIND_ROOT_PATH ${GAVREMO_PREFIXE})
include(${CMAKE_CURRENT_LIST_DIR}/../lecteurs.cmake)

add_library(plateforme STATIC ${CMAKE_CURRENT_LIST_DIR}/sdl.cpp ${CMAKE_CURRENT_LIST_DIR}/image.cpp
            ${CMAKE_CURRENT_LIST_DIR}/texte.cpp ${LECTEURS})
target_include_directories(plateforme PRIVATE ${PROJECT_SOURCE_DIR}/src ${LECTEURS_INCLUDE})
target_link_libraries(plateforme PUBLIC ${LECTEURS_LIBS})
# Emscripten's own SDL 1.2, whose headers later releases give only on request.
target_compile_options(plateforme PUBLIC -Wall -Wextra -sUSE_SDL=1)

# The pictures, font and sound inside the WebAssembly: no file of their own to ask for,
# and no loader for it in gavremo.js, whose evaluation is the start's longest task.
# Each file is named on its own, sorted, licences left out: given a folder, the
# packager takes its files in the order the file system lists them, and the same
# sources made another gavremo.wasm on another file system.
file(GLOB_RECURSE embarques RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/rsrc_img/* ${PROJECT_SOURCE_DIR}/font/* ${PROJECT_SOURCE_DIR}/son/*)
list(FILTER embarques EXCLUDE REGEX "LICENSE[^/]*$")
list(SORT embarques)
set(fichiers "")
set(embarquer "")
foreach(f ${embarques})
  list(APPEND fichiers ${PROJECT_SOURCE_DIR}/${f})
  list(APPEND embarquer "SHELL:--embed-file ${PROJECT_SOURCE_DIR}/${f}@/${f}")
endforeach()

# The game yields to the browser inside a pass, which only ASYNCIFY allows, through
# Emscripten's sleeps, the flip's own (Ceder, in sdl.js) and, at the start, SDL's
# set-up's, a new surface's and a step's (Etape). The page
# tests put files in through FS and call the game's readers directly with a string of
# theirs: ccall, while the game sleeps, mistakes the call for one that sleeps. Every
# path to a yield is a direct call; told so (IGNORE_INDIRECT), Asyncify leaves
# FreeType's and libjpeg's calls through pointers alone: a quarter less WebAssembly to
# download, and a line of text drawn twice as fast.
set(page ${CMAKE_BINARY_DIR}/page)
set_target_properties(gavremo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${page}
  LINK_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/sdl.js;${fichiers}")
target_link_options(gavremo PRIVATE -sUSE_SDL=1 --js-library ${CMAKE_CURRENT_LIST_DIR}/sdl.js
  -sASYNCIFY -sASYNCIFY_IGNORE_INDIRECT=1 -sASYNCIFY_IMPORTS=Ceder,Etape,SDL_Init,SDL_CreateRGBSurface -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sEXPORTED_FUNCTIONS=_main,_malloc,_free
  -sEXPORTED_RUNTIME_METHODS=FS,HEAPU8,stringToUTF8,callMain ${embarquer})
# Once the game is linked and its licences written (licences.html, which
# publication/page/ makes): the page's own files, and the offline worker that keeps
# them all.
set(propres index.html manifest.webmanifest icone-192.png icone-512.png sw.js hors-ligne.cmake)
list(TRANSFORM propres PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
add_custom_command(OUTPUT ${page}/sw.js
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${CMAKE_CURRENT_LIST_DIR} -DPAGE=${page} -P ${CMAKE_CURRENT_LIST_DIR}/hors-ligne.cmake
  DEPENDS gavremo ${page}/licences.html ${propres} VERBATIM)
add_custom_target(hors-ligne ALL DEPENDS ${page}/sw.js)
