# Run by CPack once it has made the zip, which lists the files in the order the
# folder gives them: writes it again with them sorted by name, dated with the release
# (SOURCE_DATE_EPOCH, and UTC for the zip's local times, both set for CPack by
# publication.cmake), so that any build of the same sources gives the same bytes.
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(nom ${zip} NAME)
  string(REGEX REPLACE "\\.zip$" "" nom ${nom})
  set(dossier ${CPACK_TOPLEVEL_DIRECTORY})
  if(NOT IS_DIRECTORY ${dossier}/${nom})
    message(FATAL_ERROR "zip.cmake: no ${dossier}/${nom} to write ${zip} from")
  endif()
  file(GLOB_RECURSE fichiers RELATIVE ${dossier} ${dossier}/${nom}/*)
  list(SORT fichiers)
  list(JOIN fichiers "\n" liste)
  file(WRITE ${dossier}/${nom}.liste "${liste}\n")
  string(TIMESTAMP date "%Y-%m-%d %H:%M:%S UTC" UTC)
  file(REMOVE ${zip})
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip --mtime=${date}
                          --files-from=${dossier}/${nom}.liste
                  WORKING_DIRECTORY ${dossier} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
