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

# The Debian architecture the build is for, the build machine's or, cross-built, the
# target's (arm64 from aarch64-linux-gnu): the hardening flags and the .deb follow it.
if(CMAKE_SYSTEM_NAME STREQUAL Linux AND NOT GAVREMO_ARCH)
  execute_process(COMMAND dpkg-architecture -t ${CMAKE_LIBRARY_ARCHITECTURE} -q DEB_HOST_ARCH
                  OUTPUT_VARIABLE GAVREMO_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT GAVREMO_ARCH)
    execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE GAVREMO_ARCH
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
endif()

if(WIN32)
  # The stack guard and the checked copies come from GCC's libssp, linked into each
  # program (-static), so no new DLL ships. The linker writes no time: strip writes
  # GAVREMO_DATE, given to it by CPack.
  add_compile_options(-fstack-protector-strong)
  add_compile_definitions(_FORTIFY_SOURCE=2)
  add_link_options(-fstack-protector-strong -Wl,--no-insert-timestamp)
elseif(CMAKE_SYSTEM_NAME STREQUAL Linux AND NOT GAVREMO_SANITIZE AND NOT GAVREMO_FUZZ)
  if(DEFINED ENV{CFLAGS} OR DEFINED ENV{CXXFLAGS} OR DEFINED ENV{LDFLAGS})
    # Built as a Debian package: dpkg-buildpackage has put Debian's flags in the
    # environment, where CMake took them (and dh added CPPFLAGS to the compilers').
    # Or a builder's own flags, which are theirs to choose.
    set(origine "the environment's flags")
  else()
    # Debian's flags, as its packages get them for the target's architecture, with any
    # DEB_*FLAGS_APPEND of the environment. Run at the root, so that its
    # -ffile-prefix-map maps the root.
    foreach(sorte CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
      execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_HOST_ARCH=${GAVREMO_ARCH}
                        "DEB_BUILD_MAINT_OPTIONS=hardening=+all $ENV{DEB_BUILD_MAINT_OPTIONS}"
                        dpkg-buildflags --get ${sorte}
                      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE ${sorte}
                      OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    # CMake ignores CPPFLAGS (_FORTIFY_SOURCE): given with the compiler's own flags.
    string(APPEND CMAKE_C_FLAGS " ${CPPFLAGS} ${CFLAGS}")
    string(APPEND CMAKE_CXX_FLAGS " ${CPPFLAGS} ${CXXFLAGS}")
    foreach(sorte EXE SHARED MODULE)
      string(APPEND CMAKE_${sorte}_LINKER_FLAGS " ${LDFLAGS}")
    endforeach()
    set(origine dpkg-buildflags)
  endif()
  # What Debian 13's dpkg gives itself and Debian 12's does not: control-flow
  # protection is x86's, branch protection arm64's. Each only if the target's compiler
  # takes it (GCC stops at a flag of another processor's), and never twice.
  set(ajouts -fstack-clash-protection)
  if(GAVREMO_ARCH MATCHES "^(amd64|i386)$")
    list(APPEND ajouts -fcf-protection)
  elseif(GAVREMO_ARCH STREQUAL arm64)
    list(APPEND ajouts -mbranch-protection=standard)
  endif()
  include(CheckCCompilerFlag)
  separate_arguments(donnes UNIX_COMMAND "${CMAKE_C_FLAGS}")
  set(ajoutes "")
  foreach(drapeau ${ajouts})
    string(MAKE_C_IDENTIFIER "GAVREMO_PREND${drapeau}" pris)
    check_c_compiler_flag(${drapeau} ${pris})
    if(${pris} AND NOT drapeau IN_LIST donnes)
      string(APPEND CMAKE_C_FLAGS " ${drapeau}")
      string(APPEND CMAKE_CXX_FLAGS " ${drapeau}")
      list(APPEND ajoutes ${drapeau})
    endif()
  endforeach()
  message(STATUS "Hardening for ${GAVREMO_ARCH}: ${origine}, and ${ajoutes}")
endif()

# No path of the machine that builds it: the sources are named from their root, and a
# build folder outside them as build. dpkg-buildflags maps the root already.
separate_arguments(donnes UNIX_COMMAND "${CMAKE_C_FLAGS}")
if(NOT "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=." IN_LIST donnes)
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.)
endif()
cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${CMAKE_BINARY_DIR} NORMALIZE dedans)
if(NOT dedans)
  add_compile_options(-ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
endif()

# What CPack runs under, whatever the builder's shell: the date for strip and the
# archives' times, and UTC, since a zip's times are local ones.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/cpack-publication.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT
     "set(ENV{SOURCE_DATE_EPOCH} ${GAVREMO_DATE})\nset(ENV{TZ} UTC)\nset(ENV{LC_ALL} C)\n")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
