# The game for 32-bit Windows: SDL, SDL_mixer, FreeType, libjpeg-turbo and giflib
# cross-built from Debian's sources into the cache, and the calls of SDL_image and
# SDL_ttf the game makes served here. Packed with the assets and licences into a zip.
include(${CMAKE_CURRENT_LIST_DIR}/../cache.cmake)
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
enable_language(RC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/gavremo.rc.in gavremo.rc @ONLY)
target_sources(gavremo PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/gavremo.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/gavremo.rc PROPERTIES
                            OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/gavremo.ico)

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
# The Debian sources the DLLs were built from, and their recipe, in a zip of their own.
set(sources ${CMAKE_BINARY_DIR}/gavremo-${PROJECT_VERSION}-win32-sources.zip)
file(GLOB recette ${CMAKE_CURRENT_LIST_DIR}/../bibliotheques/*)
add_custom_command(OUTPUT ${sources}
  COMMAND ${CMAKE_COMMAND} -DSORTIE=${sources} -DCACHE=${GAVREMO_CACHE} "-DDLLS=${bibliotheques_dll}"
          -DDATE=${GAVREMO_DATE} -P ${CMAKE_CURRENT_LIST_DIR}/sources.cmake
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/sources.cmake ${CMAKE_CURRENT_LIST_DIR}/zip_date.cmake
          ${CMAKE_CURRENT_LIST_DIR}/LISEZ-MOI-sources.txt
          ${CMAKE_CURRENT_LIST_DIR}/mingw32.cmake ${recette} VERBATIM)
add_custom_target(sources ALL DEPENDS ${sources})

# The zip: the game in a folder of its own, with what it needs beside it.
install(TARGETS gavremo DESTINATION .)
install(FILES ${dlls} DESTINATION .)
install(DIRECTORY rsrc_img font son DESTINATION . PATTERN "LICENSE*" EXCLUDE)
# Notepad's line ends; the source's byte-order mark, by which every Notepad knows UTF-8,
# stays. The libraries' versions come from where the superbuild takes them.
include(${CMAKE_CURRENT_LIST_DIR}/../bibliotheques/versions.cmake)
# With the credits their licences ask of a program's documentation.
set(MENTIONS "")
foreach(paquet ${DEBIAN_BIBLIOTHEQUES})
  set(${${paquet}_NOM}_VERSION ${${paquet}_AMONT})
  if(${paquet}_MENTION)
    list(APPEND MENTIONS "${${paquet}_MENTION}")
  endif()
endforeach()
list(JOIN MENTIONS "\r\n" MENTIONS)   # CRLF is applied to the template's lines alone
configure_file(${CMAKE_CURRENT_LIST_DIR}/LISEZ-MOI.txt LISEZ-MOI.txt NEWLINE_STYLE CRLF @ONLY)
include(${CMAKE_CURRENT_LIST_DIR}/../composants.cmake)
notice(gavremo ${gavremo_TEXTE})
notice(Blankenburg ${Blankenburg_TEXTE})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LISEZ-MOI.txt ${Blankenburg_TEXTE} DESTINATION .)
install(FILES ${gavremo_TEXTE} DESTINATION . RENAME LICENSE-Gavremo.txt)
foreach(paquet ${DEBIAN_BIBLIOTHEQUES})
  install(FILES ${GAVREMO_WIN32}/licences/${${paquet}_NOM}.txt DESTINATION . RENAME LICENSE-${${paquet}_NOM}.txt)
endforeach()
install(FILES /usr/share/doc/mingw-w64-i686-dev/copyright DESTINATION . RENAME LICENSE-mingw-w64.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME gavremo-${PROJECT_VERSION}-win32)
set(zip ${CMAKE_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip)   # CPack's own name changes as it goes
set(CPACK_STRIP_FILES ON)
# CPack lists the zip's files in the order the folder gives them: zip.cmake writes them
# again, sorted, and dates them; installateur.cmake then makes the setup from them,
# gavremo-<version>-win32-setup.exe beside the zip.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/zip.cmake ${CMAKE_CURRENT_LIST_DIR}/installateur.cmake)
find_program(MAKENSIS makensis REQUIRED)
set(CPACK_GAVREMO_MAKENSIS ${MAKENSIS})
set(CPACK_GAVREMO_COMPILATEUR ${CMAKE_CXX_COMPILER})   # named in its bill of materials
set(CPACK_GAVREMO_NSI ${CMAKE_BINARY_DIR}/gavremo.nsi)
set(CPACK_GAVREMO_INSTALLATEUR ${CMAKE_BINARY_DIR}/installateur)
set(setup ${CMAKE_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}-setup.exe)
configure_file(${CMAKE_CURRENT_LIST_DIR}/gavremo.nsi.in gavremo.nsi @ONLY)
include(CPack)
