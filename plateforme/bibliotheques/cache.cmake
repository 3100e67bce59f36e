# What is built once from Debian's sources, kept outside the clone for every later build:
# $GAVREMO_CACHE, by default /var/cache/gavremo.
if(DEFINED ENV{GAVREMO_CACHE})
  set(GAVREMO_CACHE $ENV{GAVREMO_CACHE})
else()
  set(GAVREMO_CACHE /var/cache/gavremo)
endif()

# The superbuild's recipe: this folder's, the versions and their Debian sources that the
# release names (publication/), and the Windows compiler. It goes whole into the cache,
# and into the Windows sources zip.
set(RECETTE ${CMAKE_CURRENT_LIST_DIR}/CMakeLists.txt ${CMAKE_CURRENT_LIST_DIR}/giflib.cmake
    ${CMAKE_CURRENT_LIST_DIR}/../../publication/versions.cmake
    ${CMAKE_CURRENT_LIST_DIR}/../../publication/debian.cmake
    ${CMAKE_CURRENT_LIST_DIR}/../windows/mingw32.cmake)

# bibliotheques(CIBLE): the libraries of win32, web or fuzz built by the superbuild,
# or found up to date, in GAVREMO_PREFIXE. The recipe is copied into the cache first,
# so that every clone, at any path, shares what it built.
function(bibliotheques cible)
  set(cache ${GAVREMO_CACHE}/${cible})
  file(MAKE_DIRECTORY ${cache})
  file(LOCK ${cache}/verrou GUARD FUNCTION TIMEOUT 3600)
  foreach(f ${RECETTE})
    get_filename_component(nom ${f} NAME)
    configure_file(${f} ${cache}/recette/${nom} COPYONLY)
  endforeach()
  set(journal ${cache}/construction.log)
  message(STATUS "The libraries for ${cible}, from Debian's sources: ${cache}/prefixe (log: ${journal})")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${cache}/recette -B ${cache}/construction -DCIBLE=${cible}
                          -DGAVREMO_CACHE=${GAVREMO_CACHE}
                  OUTPUT_FILE ${journal} ERROR_FILE ${journal} RESULT_VARIABLE r)
  if(NOT r)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${cache}/construction -j2
                    OUTPUT_FILE ${journal} ERROR_FILE ${journal} RESULT_VARIABLE r)
  endif()
  if(r)
    file(STRINGS ${journal} lignes)
    list(LENGTH lignes n)
    math(EXPR debut "${n} - 40")
    if(debut LESS 0)
      set(debut 0)
    endif()
    list(SUBLIST lignes ${debut} -1 fin)
    list(JOIN fin "\n" fin)
    message(FATAL_ERROR "${fin}\nThe libraries for ${cible} did not build: see ${journal}")
  endif()
  set(GAVREMO_PREFIXE ${cache}/prefixe PARENT_SCOPE)
endfunction()
