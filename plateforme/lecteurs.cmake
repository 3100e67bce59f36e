# What Windows and the page read their pictures and font with: plateforme/image/ and
# plateforme/texte/, over FreeType, libjpeg-turbo and giflib built from Debian's sources
# into the cache, which the platform's file has put under CMAKE_FIND_ROOT_PATH.
find_path(FREETYPE_INCLUDE ft2build.h PATH_SUFFIXES freetype2 NO_CACHE REQUIRED)
find_path(JPEG_GIF_INCLUDE jpeglib.h NO_CACHE REQUIRED)
foreach(lib freetype jpeg gif)
  find_library(${lib}_LIB lib${lib}.a NO_CACHE REQUIRED)
endforeach()
set(LECTEURS ${CMAKE_CURRENT_LIST_DIR}/image/image.cpp ${CMAKE_CURRENT_LIST_DIR}/image/gif.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image/jpeg.cpp ${CMAKE_CURRENT_LIST_DIR}/texte/texte.cpp)
set(LECTEURS_INCLUDE ${FREETYPE_INCLUDE} ${JPEG_GIF_INCLUDE})
set(LECTEURS_LIBS ${freetype_LIB} ${jpeg_LIB} ${gif_LIB})
