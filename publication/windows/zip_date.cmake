# zip_date(DOSSIER FOLDER ZIP FILE DATE EPOCH): FILE, a zip of FOLDER under its own
# name, the same bytes from the same files: Info-ZIP given them sorted by name, each
# dated with the release alone (in UTC, since a zip's times are local ones), with no
# extra fields (-X: owner, access times) and no entries for the folders (-D).
function(zip_date)
  cmake_parse_arguments(PARSE_ARGV 0 z "" "DOSSIER;ZIP;DATE" "")
  foreach(argument DOSSIER ZIP DATE)
    if(NOT z_${argument})
      message(FATAL_ERROR "zip_date: no ${argument} given")
    endif()
  endforeach()
  get_filename_component(parent ${z_DOSSIER} DIRECTORY)
  file(GLOB_RECURSE fichiers RELATIVE ${parent} ${z_DOSSIER}/*)
  list(SORT fichiers)
  list(JOIN fichiers "\n" liste)
  file(WRITE ${z_DOSSIER}.liste "${liste}\n")
  execute_process(COMMAND touch -d @${z_DATE} ${fichiers}
                  WORKING_DIRECTORY ${parent} COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE ${z_ZIP})
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -q -X -D ${z_ZIP} -@ INPUT_FILE ${z_DOSSIER}.liste
                  WORKING_DIRECTORY ${parent} COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE ${z_DOSSIER}.liste)
endfunction()

# zip_cpack(NOM DOSSIER): the one package CPack makes here, the zip: its name without
# .zip, and the folder CPack staged its files in, which the setup installs too.
function(zip_cpack nom dossier)
  list(LENGTH CPACK_PACKAGE_FILES n)
  if(NOT n EQUAL 1)
    message(FATAL_ERROR "one zip expected from CPack, not ${CPACK_PACKAGE_FILES}")
  endif()
  get_filename_component(n ${CPACK_PACKAGE_FILES} NAME_WLE)
  if(NOT IS_DIRECTORY ${CPACK_TOPLEVEL_DIRECTORY}/${n})
    message(FATAL_ERROR "no ${CPACK_TOPLEVEL_DIRECTORY}/${n}, the files of ${CPACK_PACKAGE_FILES}")
  endif()
  set(${nom} ${n} PARENT_SCOPE)
  set(${dossier} ${CPACK_TOPLEVEL_DIRECTORY}/${n} PARENT_SCOPE)
endfunction()
