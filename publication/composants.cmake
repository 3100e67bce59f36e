# What each release is made of, beside the libraries of versions.cmake: the game, its
# font, and what Emscripten links into the page. Read by the page's licences
# (page/licences.cmake) and by the bills of materials (nomenclature.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/versions.cmake)
get_filename_component(PROJET ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

# Each library of versions.cmake has its licence's files and its SPDX expression: a
# library without them would ship with an empty notice.
foreach(paquet ${DEBIAN_BIBLIOTHEQUES})
  if(NOT ${paquet}_NOTICE_SOURCE OR NOT ${paquet}_SPDX OR NOT ${paquet}_LIB)
    message(FATAL_ERROR "versions.cmake: ${paquet} needs its ${paquet}_NOTICE_SOURCE (the files of its licence), "
            "${paquet}_SPDX (its licence as an SPDX expression) and ${paquet}_LIB (the library it builds, as -l names it)")
  endif()
endforeach()

set(gavremo_NOM Gavremo)
set(gavremo_SPDX Zlib)
set(gavremo_NOTICE ${PROJET}/LICENSE)
set(Blankenburg_NOM Blankenburg)
set(Blankenburg_SPDX OFL-1.1)
set(Blankenburg_AMONT ${fonts-blankenburg_AMONT})
set(Blankenburg_NOTICE ${PROJET}/font/LICENSE-Blankenburg.txt)

# notice(COMPONENT FILE [VARIABLE]): the notice a release owes COMPONENT, read into
# VARIABLE. A file that is not there (a font folder swapped by hand) stops the release,
# which would otherwise ship the component without the licence it comes under.
function(notice composant fichier)
  if(NOT EXISTS ${fichier})
    message(FATAL_ERROR "${fichier} is missing: it is the notice of ${${composant}_NOM}, which every "
            "release that ships ${${composant}_NOM} must carry, as its licence asks")
  endif()
  if(ARGC GREATER 2)
    file(READ ${fichier} t)
    set(${ARGV2} "${t}" PARENT_SCOPE)
  endif()
endfunction()

# The Windows C runtime and winpthreads, from Debian's mingw-w64, inside gavremo.exe.
set(mingw-w64_NOM mingw-w64)
set(mingw-w64_SPDX "ZPL-2.1 AND MIT AND BSD-3-Clause")
set(mingw-w64_NOTICE /usr/share/doc/mingw-w64-i686-dev/copyright)
# GCC's runtime, which -static puts inside gavremo.exe too: libstdc++, libgcc, libssp,
# from Debian's gcc-mingw-w64, built from gcc-12-source. Its licence is the GPL with
# the runtime library exception, which lets a program built with it ship under its own.
set(gcc_NOM GCC)
set(gcc_SPDX "GPL-3.0-or-later WITH GCC-exception-3.1")
set(gcc_NOTICE /usr/share/common-licenses/GPL-3 /usr/share/doc/gcc-mingw-w64-base/copyright)
# The stubs of makensis, which start the setup and the uninstaller it writes.
set(nsis_NOM NSIS)
set(nsis_SPDX "Zlib AND CPL-1.0")
set(nsis_NOTICE /usr/share/doc/nsis/copyright)

# Emscripten's runtime (gavremo.js, its SDL included) and the libraries it links, found
# by the archive the link took them from (-Wl,--trace). Debian gives their notices in
# one copyright file: the paragraph of their files (_CHEMINS, as its Files: line names
# them), the licences it names, and any text it gives only by reference.
set(EMSCRIPTEN /usr/share/emscripten)
set(EMSCRIPTEN_COPYRIGHT /usr/share/doc/emscripten/copyright)
set(EMSCRIPTEN_COMPOSANTS emscripten musl libc++ libc++abi compiler-rt dlmalloc)
set(emscripten_NOM Emscripten)
set(emscripten_ARCHIVES libc libstubs)
set(emscripten_CHEMINS *)
set(emscripten_SPDX "MIT OR NCSA")
set(musl_NOM musl)
set(musl_ARCHIVES libc)
set(musl_CHEMINS system/lib/libc/musl/*)
set(musl_SPDX "MIT AND BSD-2-Clause")
set(musl_NOTICE ${EMSCRIPTEN}/system/lib/libc/musl/COPYRIGHT)
# Its COPYRIGHT leaves the 2-clause BSD licence of some of its files to those files:
# the text is Debian's paragraph of that name.
set(musl_PARAGRAPHES BSD-2-clause)
foreach(llvm libc++ libc++abi compiler-rt)
  set(${llvm}_NOM ${llvm})
  set(${llvm}_SPDX "Apache-2.0 WITH LLVM-exception")
  set(${llvm}_NOTICE /usr/share/common-licenses/Apache-2.0)
endforeach()
set(libc++_ARCHIVES libc++ libc++-noexcept)
set(libc++_CHEMINS system/lib/libcxx/*)
set(libc++abi_ARCHIVES libc++abi libc++abi-noexcept)
set(libc++abi_CHEMINS system/lib/libcxxabi/*)
set(compiler-rt_ARCHIVES libcompiler_rt)
set(compiler-rt_CHEMINS system/lib/compiler-rt/*)
# Their versions, where Emscripten is installed: the page's build alone needs them.
if(EXISTS ${EMSCRIPTEN}/system)
  file(STRINGS ${EMSCRIPTEN}/system/lib/libc/musl/VERSION musl_AMONT LIMIT_COUNT 1)
  # "These files are from the llvm-project based on release 13.0.0."
  file(STRINGS ${EMSCRIPTEN}/system/lib/libcxx/readme.txt llvm_AMONT REGEX "based on release")
  string(REGEX REPLACE ".*release ([0-9.]*[0-9]).*" "\\1" llvm_AMONT "${llvm_AMONT}")
  foreach(llvm libc++ libc++abi compiler-rt)
    set(${llvm}_AMONT ${llvm_AMONT})
  endforeach()
  # " * Version 2.8.6 Wed Aug 29 06:57:58 2012  Doug Lea"
  file(STRINGS ${EMSCRIPTEN}/system/lib/dlmalloc.c dlmalloc_AMONT REGEX "^ \\* Version [0-9.]+ " LIMIT_COUNT 1)
  string(REGEX REPLACE ".*Version ([0-9.]+) .*" "\\1" dlmalloc_AMONT "${dlmalloc_AMONT}")
endif()
set(dlmalloc_NOM dlmalloc)
set(dlmalloc_ARCHIVES libdlmalloc)
set(dlmalloc_CHEMINS system/lib/dlmalloc.c)
set(dlmalloc_SPDX CC0-1.0)

# The Debian source package each component comes from, whose files with their sha256
# a bill of materials names.
foreach(paquet ${DEBIAN_BIBLIOTHEQUES} ${DEBIAN_EMPRUNTS})
  set(${paquet}_SOURCE ${paquet})
endforeach()
set(Blankenburg_SOURCE fonts-blankenburg)
foreach(c ${EMSCRIPTEN_COMPOSANTS})
  set(${c}_SOURCE emscripten)
endforeach()
# The components the link takes from a toolchain, known by its Debian source package.
set(COMPOSANTS_OUTILS mingw-w64 gcc)
set(mingw-w64_SOURCE mingw-w64)
set(gcc_SOURCE gcc-mingw-w64)
set(nsis_SOURCE nsis)

# outils_installes(FICHIER): the versions of the toolchains installed here, with their
# Debian source files' sha256, as versions.cmake names a pin's: what
# scripts/epingler.sh --installes read from the archive's signed Sources into FICHIER,
# read again only when a toolchain installed, or what reads or names them, has changed.
# None is pinned: an apt upgrade never stops a release, whose bill names what built it.
macro(outils_installes fichier)
  if(EXISTS ${fichier})
    include(${fichier})
  endif()
  set(_outils "")
  set(_lire OFF)
  foreach(_f ${PROJET}/scripts/epingler.sh ${PROJET}/publication/versions.cmake)
    if(NOT EXISTS ${fichier} OR ${_f} IS_NEWER_THAN ${fichier})
      set(_lire ON)
    endif()
  endforeach()
  foreach(_p ${DEBIAN_OUTILS})
    execute_process(COMMAND dpkg-query -W -f=\${source:Version} ${${_p}_BINAIRE} OUTPUT_VARIABLE _v ERROR_QUIET)
    if(_v)
      list(APPEND _outils ${_p})
      if(NOT _v STREQUAL "${${_p}_DEBIAN}")
        set(_lire ON)
      endif()
    endif()
  endforeach()
  if(_lire AND _outils)
    execute_process(COMMAND bash ${PROJET}/scripts/epingler.sh --installes ${fichier} ${_outils} RESULT_VARIABLE _etat)
    if(_etat)
      message(FATAL_ERROR "the toolchains' Debian sources could not be read from the archive's signed Sources "
              "(above): a bill of materials names them, so a build needs the archive once for each toolchain installed")
    endif()
    include(${fichier})
  endif()
  foreach(_p ${_outils})
    foreach(_s ${_p} ${${_p}_CONSTRUIT})
      debian_fichiers(${_s})
    endforeach()
  endforeach()
  # A component's upstream version is that of the sources it was built from, where its
  # package names them: GCC's runtime is GCC 12.2.0, not gcc-mingw-w64 25.2.
  foreach(_c ${COMPOSANTS_OUTILS})
    if(${${_c}_SOURCE}_CONSTRUIT)
      list(GET ${${_c}_SOURCE}_CONSTRUIT 0 _s)
      set(${_c}_AMONT ${${_s}_AMONT})
    endif()
  endforeach()
endmacro()

# composants_lien(TRACE VARIABLE): the components whose code the link named in TRACE
# took (-Wl,--trace), in a fixed order: the game and its font, our libraries, the
# toolchains'. Each archive is known by the library it is (_LIB, _ARCHIVES), else by
# the Debian source package that installed it (_SOURCE). An archive no component
# claims stops the build: it would ship with no notice.
function(composants_lien trace variable)
  file(STRINGS ${trace} lignes)
  set(pris gavremo Blankenburg)
  set(vus "")
  foreach(ligne ${lignes})
    # A member as GNU ld names it (-t -t), "(ARCHIVE)MEMBER", or as wasm-ld does,
    # "ARCHIVE(MEMBER)"; an archive GNU ld only opened, alone on its line, gave nothing.
    if(ligne MATCHES "^\\(([^)]*)\\)")
      set(objet "${CMAKE_MATCH_1}")
    elseif(ligne MATCHES "\\.a$")
      continue()
    else()
      string(REGEX REPLACE "\\(.*" "" objet "${ligne}")
    endif()
    get_filename_component(archive "${objet}" NAME_WE)
    # The game's own objects and its embedded files, in the build folder.
    if(NOT IS_ABSOLUTE "${objet}" OR archive STREQUAL "embedded_files" OR objet IN_LIST vus)
      continue()
    endif()
    list(APPEND vus "${objet}")
    set(trouve "")
    foreach(paquet ${DEBIAN_BIBLIOTHEQUES})
      if(archive STREQUAL "lib${${paquet}_LIB}")
        list(APPEND trouve ${paquet})
      endif()
    endforeach()
    foreach(c ${EMSCRIPTEN_COMPOSANTS})
      if(archive IN_LIST ${c}_ARCHIVES)
        list(APPEND trouve ${c} emscripten)
      endif()
    endforeach()
    if(NOT trouve)
      get_filename_component(vrai "${objet}" REALPATH)
      execute_process(COMMAND dpkg -S ${vrai} OUTPUT_VARIABLE binaire ERROR_QUIET)
      string(REGEX REPLACE ":.*" "" binaire "${binaire}")
      if(binaire)
        execute_process(COMMAND dpkg-query -W -f=\${source:Package} ${binaire} OUTPUT_VARIABLE source ERROR_QUIET)
        foreach(c ${COMPOSANTS_OUTILS})
          if(source STREQUAL "${${c}_SOURCE}")
            list(APPEND trouve ${c})
          endif()
        endforeach()
      endif()
    endif()
    if(NOT trouve)
      message(FATAL_ERROR "the link took ${objet}, which no component of "
              "publication/composants.cmake or versions.cmake claims: name it there, with its licence")
    endif()
    list(APPEND pris ${trouve})
  endforeach()
  set(ordre gavremo Blankenburg ${DEBIAN_BIBLIOTHEQUES} ${EMSCRIPTEN_COMPOSANTS} ${COMPOSANTS_OUTILS})
  set(liste "")
  foreach(c ${ordre})
    if(c IN_LIST pris AND NOT c IN_LIST liste)
      list(APPEND liste ${c})
    endif()
  endforeach()
  set(${variable} ${liste} PARENT_SCOPE)
endfunction()

# notice_emscripten(COMPOSANT VARIABLE): the paragraph of Debian's copyright file for
# the component's files, and the text of each licence that paragraph names, or that
# the component's _PARAGRAPHES adds.
function(notice_emscripten composant variable)
  file(READ ${EMSCRIPTEN_COPYRIGHT} tout)
  string(REPLACE ";" "\\;" tout "${tout}")
  string(REGEX REPLACE "\n\n+" ";" paragraphes "${tout}")
  set(texte "")
  foreach(p IN LISTS paragraphes)
    if(p MATCHES "^Files:\n ([^\n]*)\n" AND CMAKE_MATCH_1 STREQUAL "${${composant}_CHEMINS}")
      set(texte "${p}\n")
      string(REGEX MATCH "\nLicense: ([^\n]*)" _ "${p}")
      string(REGEX REPLACE " (or|and|with [^ ]* exception) " ";" noms "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  if(NOT texte)
    message(FATAL_ERROR "${EMSCRIPTEN_COPYRIGHT} has no paragraph for ${${composant}_CHEMINS}")
  endif()
  list(APPEND noms ${${composant}_PARAGRAPHES})
  foreach(nom ${noms})
    foreach(p IN LISTS paragraphes)
      if(p MATCHES "^License: ([^\n]*)\n" AND CMAKE_MATCH_1 STREQUAL "${nom}")
        string(APPEND texte "\n${p}\n")
      endif()
    endforeach()
  endforeach()
  set(${variable} "${texte}" PARENT_SCOPE)
endfunction()

# notices_fichiers(VARIABLE COMPOSANT...): where the zip and the setup keep each
# component's notice, LICENSE-<its name>.txt beside the game.
function(notices_fichiers variable)
  set(l "")
  foreach(c ${ARGN})
    list(APPEND l LICENSE-${${c}_NOM}.txt)
  endforeach()
  set(${variable} ${l} PARENT_SCOPE)
endfunction()
