# nomenclature(): a release's bill of materials in CycloneDX 1.6 JSON: what it ships
# (each file and its sha256, from DOSSIER), the components inside it with their
# versions, licences, purls and the sha256 of their Debian sources, the Debian packages
# it depends on (a .deb's CONTROLE), and the compiler that built it (none for a source
# tarball, which has no COMPILATEUR). Dated with the release, its serial number a UUID
# made from its content, so that the same release has the same bytes.
#   nomenclature(TITRE "the Windows zip" DOSSIER FILES SORTIE FILE.cdx.json VERSION 1.0.0
#                DATE EPOCH [COMPILATEUR PATH] [CONTROLE DEBIAN/control]
#                COMPOSANTS c... NOTICES where-each-notice-is...)
# NOTICES names, for each of COMPOSANTS in turn, where its notice is in the release;
# without it, each is the component's own file in the repository (_NOTICE), where the
# source tarball has it.
# A script that runs it alone, with -P, passes the same as -D: see the end.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/composants.cmake)

# A Debian version in a purl: its + and : encoded.
function(purl paquet version variable)
  string(REPLACE "+" "%2B" version "${version}")
  string(REPLACE ":" "%3A" version "${version}")
  set(${variable} "pkg:deb/debian/${paquet}@${version}" PARENT_SCOPE)
endfunction()

# ajouter(VARIABLE CHEMIN VALEUR): VALEUR (JSON) at the end of the array at CHEMIN.
# An index past the end appends.
macro(ajouter json chemin valeur)
  string(JSON ${json} SET "${${json}}" ${chemin} 999999 "${valeur}")
endmacro()

# propriete(VARIABLE NOM VALEUR): a property of the component in VARIABLE.
macro(propriete json nom valeur)
  ajouter(${json} properties "{\"name\": \"${nom}\", \"value\": \"${valeur}\"}")
endmacro()

function(nomenclature)
  cmake_parse_arguments(PARSE_ARGV 0 "" "" "TITRE;DOSSIER;SORTIE;VERSION;DATE;COMPILATEUR;CONTROLE"
                        "COMPOSANTS;NOTICES")
  foreach(a TITRE DOSSIER SORTIE VERSION COMPOSANTS)
    if(NOT _${a})
      message(FATAL_ERROR "nomenclature: no ${a}")
    endif()
  endforeach()
  if(NOT _DATE MATCHES "^[0-9]+$")
    message(FATAL_ERROR "nomenclature: no release date (DATE, or SOURCE_DATE_EPOCH for CPack)")
  endif()
  if(NOT DEFINED _NOTICES)
    foreach(c ${_COMPOSANTS})
      file(RELATIVE_PATH f ${PROJET} ${${c}_NOTICE})
      list(APPEND _NOTICES ${f})
    endforeach()
  endif()
  list(LENGTH _COMPOSANTS n)
  list(LENGTH _NOTICES m)
  if(NOT n EQUAL m)
    message(FATAL_ERROR "nomenclature: ${n} COMPOSANTS, ${m} NOTICES: one notice each")
  endif()
  set(doc "{\"bomFormat\": \"CycloneDX\", \"specVersion\": \"1.6\", \"serialNumber\": \"\", \"version\": 1}")
  set(ENV{SOURCE_DATE_EPOCH} ${_DATE})
  string(TIMESTAMP quand "%Y-%m-%dT%H:%M:%SZ" UTC)
  string(JSON doc SET "${doc}" metadata "{\"timestamp\": \"${quand}\", \"tools\": {\"components\": []},
    \"component\": {\"type\": \"application\", \"bom-ref\": \"release\", \"name\": \"gavremo\",
    \"version\": \"${_VERSION}\", \"description\": \"Gavremo ${_VERSION}, ${_TITRE}\"}}")
  string(JSON doc SET "${doc}" components "[]")
  string(JSON doc SET "${doc}" dependencies "[]")

  # The compiler that built it: its Debian source package, at the version of the binary
  # package that gave it. A source tarball has none.
  if(NOT _COMPILATEUR)
    string(JSON doc REMOVE "${doc}" metadata tools)
  else()
    get_filename_component(vrai ${_COMPILATEUR} REALPATH)
    execute_process(COMMAND dpkg -S ${vrai} OUTPUT_VARIABLE binaire ERROR_QUIET)
    string(REGEX REPLACE ":.*" "" binaire "${binaire}")
    execute_process(COMMAND dpkg-query -W -f=\${source:Package}\t\${Version}\t\${Architecture} ${binaire}
                    OUTPUT_VARIABLE outil ERROR_QUIET)
    if(NOT outil MATCHES "^([^\t]+)\t([^\t]+)\t(.+)$")
      message(FATAL_ERROR "nomenclature: no Debian package gives ${_COMPILATEUR}")
    endif()
    purl(${binaire} ${CMAKE_MATCH_2} p)
    ajouter(doc "metadata;tools;components" "{\"type\": \"application\", \"name\": \"${CMAKE_MATCH_1}\",
      \"version\": \"${CMAKE_MATCH_2}\", \"purl\": \"${p}?arch=${CMAKE_MATCH_3}\"}")
  endif()

  set(dependances "")
  foreach(c notice IN ZIP_LISTS _COMPOSANTS _NOTICES)
    set(j "{\"type\": \"library\", \"bom-ref\": \"${c}\", \"name\": \"${${c}_NOM}\"}")
    # The Debian source package it comes from (Emscripten's for what Emscripten links in:
    # a purl's subpath names its folder or file there).
    set(source ${${c}_SOURCE})
    set(sous "")
    if(c IN_LIST EMSCRIPTEN_COMPOSANTS AND NOT c STREQUAL "emscripten")
      string(REGEX REPLACE "/\\*$" "" sous "#${${c}_CHEMINS}")
    elseif(c STREQUAL "gavremo")
      string(JSON j SET "${j}" type "\"application\"")
      string(JSON j SET "${j}" version "\"${_VERSION}\"")
    endif()
    string(JSON j SET "${j}" licenses "[{\"expression\": \"${${c}_SPDX}\"}]")
    # Its Debian version, and the Debian source files it was built from, each with its sha256.
    if(source)
      if(NOT DEFINED ${source}_DEBIAN)
        message(FATAL_ERROR "nomenclature: no version of ${source} for ${c}: versions.cmake pins it, or, "
                "a toolchain, outils_installes() reads the one installed")
      endif()
      string(JSON j SET "${j}" version "\"${${source}_DEBIAN}\"")
      purl(${source} ${${source}_DEBIAN} p)
      string(JSON j SET "${j}" purl "\"${p}?arch=source${sous}\"")
      string(JSON j SET "${j}" externalReferences "[]")
      # And those of the packages it was built from (a toolchain's Built-Using).
      # Debian's own archive, or the security archive that served a toolchain installed.
      foreach(s ${source} ${${source}_CONSTRUIT})
        set(pool https://deb.debian.org/debian/pool/main)
        if(DEFINED ${s}_POOL)
          set(pool ${${s}_POOL})
        endif()
        foreach(f somme IN ZIP_LISTS ${s}_NOMS ${s}_SOMMES)
          debian_adresse(${pool} ${s} ${f} adresse)
          ajouter(j externalReferences "{\"type\": \"source-distribution\", \"url\": \"${adresse}\",
            \"hashes\": [{\"alg\": \"SHA-256\", \"content\": \"${somme}\"}]}")
        endforeach()
      endforeach()
    endif()
    string(JSON j SET "${j}" properties "[]")
    if(DEFINED ${c}_AMONT)
      propriete(j gavremo:upstream-version ${${c}_AMONT})
    endif()
    propriete(j gavremo:notice ${notice})
    ajouter(doc components "${j}")
    string(APPEND dependances "\"${c}\", ")
  endforeach()

  # What the .deb depends on, by name: CycloneDX 1.6 has no field for a version range.
  if(_CONTROLE)
    file(STRINGS ${_CONTROLE} depends REGEX "^Depends: ")
    string(REGEX REPLACE "^Depends: " "" depends "${depends}")
    string(REPLACE ", " ";" depends "${depends}")
    foreach(d ${depends})
      string(REGEX MATCH "^([^ ]+)( \\((.*)\\))?$" _ "${d}")
      set(j "{\"type\": \"library\", \"bom-ref\": \"deb:${CMAKE_MATCH_1}\", \"name\": \"${CMAKE_MATCH_1}\",
        \"scope\": \"required\", \"purl\": \"pkg:deb/debian/${CMAKE_MATCH_1}\", \"properties\": []}")
      if(CMAKE_MATCH_3)
        propriete(j gavremo:version-range "${CMAKE_MATCH_3}")
      endif()
      ajouter(doc components "${j}")
      string(APPEND dependances "\"deb:${CMAKE_MATCH_1}\", ")
    endforeach()
  endif()

  # Each file it ships, by its path in the release.
  file(GLOB_RECURSE livres RELATIVE ${_DOSSIER} ${_DOSSIER}/*)
  list(SORT livres)
  foreach(f ${livres})
    if(f MATCHES "\\.cdx\\.json$|^DEBIAN/" OR IS_SYMLINK ${_DOSSIER}/${f})
      continue()
    endif()
    file(SHA256 ${_DOSSIER}/${f} somme)
    ajouter(doc components "{\"type\": \"file\", \"bom-ref\": \"file:${f}\", \"name\": \"${f}\",
      \"hashes\": [{\"alg\": \"SHA-256\", \"content\": \"${somme}\"}]}")
  endforeach()

  string(REGEX REPLACE ", $" "" dependances "${dependances}")
  ajouter(doc dependencies "{\"ref\": \"release\", \"dependsOn\": [${dependances}]}")
  # The serial number: a name-based UUID of everything else.
  string(UUID uuid NAMESPACE 6ba7b811-9dad-11d1-80b4-00c04fd430c8 NAME "${doc}" TYPE SHA1)
  string(JSON doc SET "${doc}" serialNumber "\"urn:uuid:${uuid}\"")
  file(WRITE ${_SORTIE} "${doc}\n")
endfunction()

# Run alone: cmake -DTITRE=... -DDOSSIER=... -DSORTIE=... -DVERSION=... -DDATE=...
#   [-DCOMPILATEUR=...] [-DCONTROLE=...] "-DCOMPOSANTS=a;b" "-DNOTICES=x;y" -P nomenclature.cmake
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  nomenclature(TITRE ${TITRE} DOSSIER ${DOSSIER} SORTIE ${SORTIE} VERSION ${VERSION} DATE ${DATE}
               COMPILATEUR ${COMPILATEUR} CONTROLE ${CONTROLE} COMPOSANTS ${COMPOSANTS} NOTICES ${NOTICES})
endif()
