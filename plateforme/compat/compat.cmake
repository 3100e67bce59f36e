# Debian's SDL 1.2 with its image, text and sound libraries, whichever SDL 1.2 the
# release ships: the classic library or the compatibility library over SDL 2. Pictures
# are checked by ../image/ with giflib and libjpeg before SDL_image draws them.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL REQUIRED IMPORTED_TARGET sdl SDL_image SDL_ttf SDL_mixer libgif libjpeg)

set(image ${CMAKE_CURRENT_LIST_DIR}/../image)
add_library(plateforme STATIC ${CMAKE_CURRENT_LIST_DIR}/defauts.cpp ${CMAKE_CURRENT_LIST_DIR}/signaux.cpp
            ${CMAKE_CURRENT_LIST_DIR}/image.cpp
            ${image}/image.cpp ${image}/gif.cpp ${image}/jpeg.cpp ${image}/surface.cpp)
target_include_directories(plateforme PRIVATE ${PROJECT_SOURCE_DIR}/src)
find_package(Threads REQUIRED)
target_link_libraries(plateforme PUBLIC PkgConfig::SDL Threads::Threads ${CMAKE_DL_LIBS})
target_compile_options(plateforme PUBLIC -Wall -Wextra)
