# What the Windows build ships, beside the game that plateforme/windows/ builds: the zip
# (the game in a folder of its own, with its DLLs, assets, notices and LISEZ-MOI.txt),
# the setup made from the same files, and a zip of the DLLs' Debian sources.

# What the link took, each archive member (-t -t), for the bills of materials
# (composants_lien): GCC's and mingw-w64's runtimes among them, which -static puts inside.
target_link_options(gavremo PRIVATE -Wl,-t,-t)
set(lien ${CMAKE_BINARY_DIR}/lien.txt)
set_target_properties(gavremo PROPERTIES RULE_LAUNCH_LINK "${CMAKE_CURRENT_LIST_DIR}/../lien.sh ${lien}")
# The Debian sources the DLLs were built from, and their recipe, in a zip of their own.
set(sources ${CMAKE_BINARY_DIR}/gavremo-${PROJECT_VERSION}-win32-sources.zip)
add_custom_command(OUTPUT ${sources}
  COMMAND ${CMAKE_COMMAND} -DSORTIE=${sources} -DCACHE=${GAVREMO_CACHE} "-DDLLS=${bibliotheques_dll}"
          "-DRECETTE=${RECETTE}" -DDATE=${GAVREMO_DATE} -P ${CMAKE_CURRENT_LIST_DIR}/sources.cmake
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/sources.cmake ${CMAKE_CURRENT_LIST_DIR}/zip_date.cmake
          ${CMAKE_CURRENT_LIST_DIR}/LISEZ-MOI-sources.txt
          ${RECETTE} VERBATIM)
add_custom_target(sources ALL DEPENDS ${sources})

# The zip: the game in a folder of its own, with what it needs beside it.
install(TARGETS gavremo DESTINATION .)
install(FILES ${dlls} DESTINATION .)
install(DIRECTORY rsrc_img font son DESTINATION . PATTERN "LICENSE*" EXCLUDE)
# Notepad's line ends; the source's byte-order mark, by which every Notepad knows UTF-8,
# stays. The libraries' versions come from where the superbuild takes them.
include(${CMAKE_CURRENT_LIST_DIR}/../versions.cmake)
# With the credits their licences ask of a program's documentation.
set(CREDITS "")
foreach(paquet ${DEBIAN_BIBLIOTHEQUES})
  set(${${paquet}_NOM}_VERSION ${${paquet}_AMONT})
  if(${paquet}_CREDIT)
    list(APPEND CREDITS "${${paquet}_CREDIT}")
  endif()
endforeach()
list(JOIN CREDITS "\r\n" CREDITS)   # CRLF is applied to the template's lines alone
configure_file(${CMAKE_CURRENT_LIST_DIR}/LISEZ-MOI.txt LISEZ-MOI.txt NEWLINE_STYLE CRLF @ONLY)
include(${CMAKE_CURRENT_LIST_DIR}/../composants.cmake)
notice(gavremo ${gavremo_NOTICE})
notice(Blankenburg ${Blankenburg_NOTICE})
# The toolchains' versions as installed, with their sources' sha256, named by the bills.
set(outils ${CMAKE_BINARY_DIR}/outils.cmake)
outils_installes(${outils})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LISEZ-MOI.txt ${Blankenburg_NOTICE} DESTINATION .)
install(FILES ${gavremo_NOTICE} DESTINATION . RENAME LICENSE-Gavremo.txt)
foreach(paquet ${DEBIAN_BIBLIOTHEQUES})
  install(FILES ${GAVREMO_WIN32}/licences/${${paquet}_NOM}.txt DESTINATION . RENAME LICENSE-${${paquet}_NOM}.txt)
endforeach()
notice(mingw-w64 ${mingw-w64_NOTICE})
install(FILES ${mingw-w64_NOTICE} DESTINATION . RENAME LICENSE-mingw-w64.txt)
# GCC's: Debian's copyright, which gives the runtime exception, then the GPL it names.
set(texte "")
foreach(f ${gcc_NOTICE})
  notice(gcc ${f} t)
  string(APPEND texte "${t}\n")
endforeach()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE-${gcc_NOM}.txt "${texte}")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LICENSE-${gcc_NOM}.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME gavremo-${PROJECT_VERSION}-win32)
set(zip ${CMAKE_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip)   # CPack's own name changes as it goes
set(CPACK_STRIP_FILES ON)
# CPack lists the zip's files in the order the folder gives them: zip.cmake writes them
# again, sorted, and dates them; setup.cmake then makes the setup from them,
# gavremo-<version>-win32-setup.exe beside the zip.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/zip.cmake ${CMAKE_CURRENT_LIST_DIR}/setup.cmake)
find_program(MAKENSIS makensis REQUIRED)
set(CPACK_GAVREMO_MAKENSIS ${MAKENSIS})
set(CPACK_GAVREMO_COMPILATEUR ${CMAKE_CXX_COMPILER})   # named in its bill of materials
set(CPACK_GAVREMO_LIEN ${lien})                        # with what the link took
set(CPACK_GAVREMO_OUTILS ${outils})                    # and the toolchains installed
set(CPACK_GAVREMO_NSI ${CMAKE_BINARY_DIR}/gavremo.nsi)
set(CPACK_GAVREMO_SETUP ${CMAKE_BINARY_DIR}/setup)
set(setup ${CMAKE_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}-setup.exe)
configure_file(${CMAKE_CURRENT_LIST_DIR}/gavremo.nsi.in gavremo.nsi @ONLY)
include(CPack)
