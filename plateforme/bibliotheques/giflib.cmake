# giflib's own Makefile knows only the host: its decoder, built for any target. Copied
# into giflib's sources as their CMakeLists.txt by the superbuild.
cmake_minimum_required(VERSION 3.25)
project(giflib C)
set(CMAKE_C_STANDARD 99)
set(CMAKE_C_EXTENSIONS ON)
add_library(gif STATIC dgif_lib.c gifalloc.c gif_err.c gif_hash.c openbsd-reallocarray.c)
install(TARGETS gif DESTINATION lib)
install(FILES gif_lib.h DESTINATION include)
