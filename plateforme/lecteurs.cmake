# What Windows and the page read their pictures and font with: plateforme/image/ and
# plateforme/texte/, over FreeType, libjpeg-turbo and giflib built from Debian's sources
# into the cache, which the platform's file has put under CMAKE_FIND_ROOT_PATH.
find_path(FREETYPE_INCLUDE ft2build.h PATH_SUFFIXES freetype2 NO_CACHE REQUIRED)
find_path(JPEG_GIF_INCLUDE jpeglib.h NO_CACHE REQUIRED)
# Named apart from versions.cmake's freetype_LIB (the -l name), which the build may
# have read already: find_library leaves a variable that is set alone.
foreach(lib freetype jpeg gif)
  find_library(LECTEUR_${lib} lib${lib}.a NO_CACHE REQUIRED)
endforeach()
set(LECTEURS ${CMAKE_CURRENT_LIST_DIR}/image/image.cpp ${CMAKE_CURRENT_LIST_DIR}/image/gif.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image/jpeg.cpp ${CMAKE_CURRENT_LIST_DIR}/texte/texte.cpp)
set(LECTEURS_INCLUDE ${FREETYPE_INCLUDE} ${JPEG_GIF_INCLUDE})
set(LECTEURS_LIBS ${LECTEUR_freetype} ${LECTEUR_jpeg} ${LECTEUR_gif})
