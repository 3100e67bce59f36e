# How what we ship is built: hardened as its platform hardens its own programs, and
# the same bytes whoever builds it, wherever and whenever.

# The date written into archives and headers: SOURCE_DATE_EPOCH when given, else the
# last commit's, else that of the changelog's last entry (a tree with no git).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(GAVREMO_DATE $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} rev-parse --show-toplevel
                  OUTPUT_VARIABLE depot OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(depot STREQUAL PROJECT_SOURCE_DIR)
    execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE GAVREMO_DATE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT GAVREMO_DATE)
    execute_process(COMMAND dpkg-parsechangelog -l ${PROJECT_SOURCE_DIR}/paquet/changelog -S Timestamp
                    OUTPUT_VARIABLE GAVREMO_DATE OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  endif()
endif()

# No path of the machine that builds it: the sources are named from their root.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.)

if(WIN32)
  # The stack guard and the checked copies come from GCC's libssp, linked into each
  # program (-static), so no new DLL ships. The linker writes no time: strip writes
  # GAVREMO_DATE, given to it by CPack.
  add_compile_options(-fstack-protector-strong)
  add_compile_definitions(_FORTIFY_SOURCE=2)
  add_link_options(-fstack-protector-strong -Wl,--no-insert-timestamp)
endif()

# What CPack runs under, whatever the builder's shell: the date for strip and the
# archives' times, and UTC, since a zip's times are local ones.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/cpack-publication.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT
     "set(ENV{SOURCE_DATE_EPOCH} ${GAVREMO_DATE})\nset(ENV{TZ} UTC)\nset(ENV{LC_ALL} C)\n")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
