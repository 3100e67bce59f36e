# The game for 32-bit Windows: SDL, SDL_mixer, FreeType, libjpeg-turbo and giflib
# cross-built from Debian's sources into the cache, and the calls of SDL_image and
# SDL_ttf the game makes served here. What ships, and how: publication/windows/.
include(${CMAKE_CURRENT_LIST_DIR}/../bibliotheques/cache.cmake)
bibliotheques(win32)
set(GAVREMO_WIN32 ${GAVREMO_PREFIXE})
list(APPEND CMAKE_FIND_ROOT_PATH ${GAVREMO_WIN32})
find_path(SDL_INCLUDE SDL.h PATH_SUFFIXES SDL NO_CACHE REQUIRED)
find_library(SDL_LIB SDL NO_CACHE REQUIRED)
find_library(SDL_MIXER_LIB SDL_mixer NO_CACHE REQUIRED)
# ld puts the game's imports in the order of the paths of the import libraries, the
# system's and SDL's alike: from a double slash, SDL's always come first, wherever the
# cache is, so the same sources give the same exe.
set(SDL_LIB /${SDL_LIB})
set(SDL_MIXER_LIB /${SDL_MIXER_LIB})
include(${CMAKE_CURRENT_LIST_DIR}/../lecteurs.cmake)

add_library(plateforme STATIC ${CMAKE_CURRENT_LIST_DIR}/entree.cpp ${CMAKE_CURRENT_LIST_DIR}/image.cpp
            ${CMAKE_CURRENT_LIST_DIR}/texte.cpp ${CMAKE_CURRENT_LIST_DIR}/../image/surface.cpp ${LECTEURS})
target_compile_options(plateforme PUBLIC -Wall -Wextra)
target_include_directories(plateforme PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${SDL_INCLUDE})
target_include_directories(plateforme PRIVATE ${PROJECT_SOURCE_DIR}/src ${LECTEURS_INCLUDE})
target_link_libraries(plateforme PUBLIC ${SDL_MIXER_LIB} ${SDL_LIB} ${LECTEURS_LIBS})

# A console program, whose entry is the game's own main: SDLmain is not linked.
target_link_options(gavremo PRIVATE -mconsole)
# Its icon, name and version as Windows shows them, compiled by windres; the setup says
# the same.
set(GAVREMO_SOCIETE "Les développeurs de Gavremo")
set(GAVREMO_DROITS "© 2026 les développeurs de Gavremo, sous licence zlib")
set(GAVREMO_ICONE ${CMAKE_CURRENT_LIST_DIR}/gavremo.ico)
enable_language(RC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/gavremo.rc.in gavremo.rc @ONLY)
target_sources(gavremo PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/gavremo.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/gavremo.rc PROPERTIES
                            OBJECT_DEPENDS ${GAVREMO_ICONE})

# The DLLs as shipped: stripped, and dated with the release, which strip writes into
# their header from SOURCE_DATE_EPOCH (else the time it runs). The cache keeps them whole.
set(dlls "")
set(bibliotheques_dll SDL SDL_mixer)
foreach(dll ${bibliotheques_dll})
  add_custom_command(OUTPUT ${dll}.dll DEPENDS ${GAVREMO_WIN32}/bin/${dll}.dll
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${GAVREMO_DATE}
            ${CMAKE_STRIP} -o ${dll}.dll ${GAVREMO_WIN32}/bin/${dll}.dll VERBATIM)
  list(APPEND dlls ${CMAKE_BINARY_DIR}/${dll}.dll)
endforeach()
add_custom_target(dlls ALL DEPENDS ${dlls})
