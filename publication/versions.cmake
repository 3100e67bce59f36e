# Every library built from Debian's sources, named once: its Debian source package at
# one version of Debian 12, the sha256 of each file of that package, the files that
# make its licence, that licence as an SPDX expression, the library it builds (as -l
# names it), the credit its licence asks for in a program's documentation, and the name
# the game ships it under. The superbuild takes nothing else; the zip's readme, the
# page's licences and every bill of materials take their versions from here.
# Below them, what a release takes from Debian as it is: the font, pinned the same
# way; the toolchains' code, named by the package installed and never pinned.
set(DEBIAN_BIBLIOTHEQUES freetype libjpeg-turbo giflib libsdl1.2 sdl-mixer1.2)
# The suites whose sources share the archive's pool (debian_adresse): a version one of
# them names stays there. scripts/epingler.sh moves a pin to the newest they name.
set(DEBIAN_SUITES bookworm bookworm-updates)
# Where Debian's security updates wait for the next point release to bring them into
# those suites, in a pool of their own: a toolchain that apt upgrade installed from
# there is named from there.
set(DEBIAN_SECURITE https://security.debian.org/debian-security bookworm-security)

set(freetype_NOM FreeType)
set(freetype_DEBIAN 2.12.1+dfsg-5+deb12u4)
set(freetype_FICHIERS
  freetype_2.12.1+dfsg-5+deb12u4.dsc eead829b4bc79107e8e79c4da006110dffe264f9d48b3ba02f76cf7e84b64389
  freetype_2.12.1+dfsg.orig.tar.xz 7dedb6b9adf331559daea614a83b8de42a753e685ec8e1c4bdb4529eb880b0d1
  freetype_2.12.1+dfsg.orig-ft2demos.tar.xz ce729d97f166a919a6a3037c949af01d5d6e1783614024d72683153f0bc5ef05
  freetype_2.12.1+dfsg.orig-ft2demos.tar.xz.asc 0303e45fe1dc659f14353c276ac0ea1025b30e19ac8138c52d5df79b55726f14
  freetype_2.12.1+dfsg.orig-ft2docs.tar.xz 6664a32e4eedaa89f45422c1150e32da46fd301c972cbfd19d2dcc6dd96f07d1
  freetype_2.12.1+dfsg.orig-ft2docs.tar.xz.asc e686683830c782c30cdd83278c8d5ed7ab930ae7d548682565b706322f44007f
  freetype_2.12.1+dfsg-5+deb12u4.debian.tar.xz c625a97a78e4c74acd32e5b63b3973c9ea8a5c3d7b7f8f7c02def4421589c61b)
set(freetype_NOTICE_SOURCE docs/FTL.TXT debian/copyright)
set(freetype_SPDX "FTL OR GPL-2.0-or-later")
set(freetype_LIB freetype)
set(freetype_CREDIT "Portions of this software are copyright © 2022 The FreeType Project (www.freetype.org). All rights reserved.")

set(libjpeg-turbo_NOM libjpeg-turbo)
set(libjpeg-turbo_DEBIAN 1:2.1.5-2)
set(libjpeg-turbo_FICHIERS
  libjpeg-turbo_2.1.5-2.dsc d718ead0dfbcbc8523665c02a7f7152e31039ded641d022868722623bb3b486d
  libjpeg-turbo_2.1.5.orig.tar.gz 254f3642b04e309fee775123133c6464181addc150499561020312ec61c1bf7c
  libjpeg-turbo_2.1.5-2.debian.tar.xz cdb2433c2f7101345c1ffa14efb943787c675b86354691a32490845fe4bc9237)
set(libjpeg-turbo_NOTICE_SOURCE LICENSE.md README.ijg)
set(libjpeg-turbo_SPDX "IJG AND BSD-3-Clause")
set(libjpeg-turbo_LIB jpeg)
set(libjpeg-turbo_CREDIT "This software is based in part on the work of the Independent JPEG Group.")

set(giflib_NOM giflib)
set(giflib_DEBIAN 5.2.1-2.5+deb12u1)
set(giflib_FICHIERS
  giflib_5.2.1-2.5+deb12u1.dsc 5206a92fd4a057768f429033a3a80bc1e06453f6c60dfec243d8188fa6ade3f4
  giflib_5.2.1.orig.tar.gz 31da5562f44c5f15d63340a09a4fd62b48c45620cd302f77a6d9acf0077879bd
  giflib_5.2.1-2.5+deb12u1.debian.tar.xz efa4369de943f7918c2b0b049a125268937ab12039ea6ed01d34ab2125def0df)
set(giflib_NOTICE_SOURCE COPYING)
set(giflib_SPDX "MIT")
set(giflib_LIB gif)

set(libsdl1.2_NOM SDL)
set(libsdl1.2_DEBIAN 1.2.15+dfsg2-8)
set(libsdl1.2_FICHIERS
  libsdl1.2_1.2.15+dfsg2-8.dsc ff6cf187235703226f91af9d636255c5d7141bf1a693aa37293ceeb11430cc33
  libsdl1.2_1.2.15+dfsg2.orig.tar.gz ec4d5ea4714b92f840aafcf8c759cf7914827f632e19f42b18ba6f6489f0f5e9
  libsdl1.2_1.2.15+dfsg2-8.debian.tar.xz f1e294c33ad395f3b0dc473ff33b84405ac7fc465e3c9d2a25fee576a96e9fc7)
set(libsdl1.2_NOTICE_SOURCE COPYING)
set(libsdl1.2_SPDX "LGPL-2.1-or-later")
set(libsdl1.2_LIB SDL)

set(sdl-mixer1.2_NOM SDL_mixer)
set(sdl-mixer1.2_DEBIAN 1.2.12-17)
set(sdl-mixer1.2_FICHIERS
  sdl-mixer1.2_1.2.12-17.dsc be401f8d10dd238288499a4938bb9548ded7e43fa63e0a6e0433261f95d58b30
  sdl-mixer1.2_1.2.12.orig.tar.gz 1644308279a975799049e4826af2cfc787cad2abb11aa14562e402521f86992a
  sdl-mixer1.2_1.2.12-17.debian.tar.xz fa567776602de00e407e65055b5b6951b69fe25fda9979c4dcf76afdfb73be8c)
set(sdl-mixer1.2_NOTICE_SOURCE COPYING)
set(sdl-mixer1.2_SPDX "Zlib")
set(sdl-mixer1.2_LIB SDL_mixer)

# What goes into a release file from Debian without being built here: the font, as its
# package ships it, pinned like the libraries.
set(DEBIAN_EMPRUNTS fonts-blankenburg)

set(fonts-blankenburg_DEBIAN 0.1-3)
set(fonts-blankenburg_FICHIERS
  fonts-blankenburg_0.1-3.dsc 4f743500c4aee5bb1f9c2f2271f6195f1b79c99eea48fa15759a62c170205b55
  fonts-blankenburg_0.1.orig.tar.gz f83c895294a9796a8c55c5376a591d6cf832039768c2460ec57253478e1f7699
  fonts-blankenburg_0.1-3.debian.tar.xz 061ac38f0f3c086e388451907c462366753244e006310c64c5525201c07bbfd4)

# The toolchains whose own code a release holds: Emscripten's runtime and libraries in
# the page, mingw-w64's runtime and GCC's (libstdc++, libgcc, libssp) in gavremo.exe,
# the stubs of makensis, which start the Windows setup and its uninstaller. Not pinned:
# a bill names the version installed (the binary package _BINAIRE gives), with its
# source files' sha256 from the archive's signed Sources (scripts/epingler.sh --installes).
set(DEBIAN_OUTILS emscripten mingw-w64 gcc-mingw-w64 nsis)
set(emscripten_BINAIRE emscripten)
set(mingw-w64_BINAIRE mingw-w64-i686-dev)
set(gcc-mingw-w64_BINAIRE gcc-mingw-w64-i686-posix)
set(nsis_BINAIRE nsis)

# debian_fichiers(PAQUET): its _FICHIERS as two lists, to walk together with
# foreach(IN ZIP_LISTS): _NOMS and _SOMMES; and the upstream version its Debian version
# packs, _AMONT: 1:2.1.5-2 is libjpeg-turbo 2.1.5.
macro(debian_fichiers paquet)
  string(REGEX REPLACE "^([0-9]+:)?([0-9.]+).*" "\\2" ${paquet}_AMONT ${${paquet}_DEBIAN})
  set(${paquet}_NOMS "")
  set(${paquet}_SOMMES "")
  foreach(x ${${paquet}_FICHIERS})
    list(LENGTH ${paquet}_NOMS n)
    list(LENGTH ${paquet}_SOMMES m)
    if(n EQUAL m)
      list(APPEND ${paquet}_NOMS ${x})
    else()
      list(APPEND ${paquet}_SOMMES ${x})
    endif()
  endforeach()
endmacro()
foreach(paquet ${DEBIAN_BIBLIOTHEQUES} ${DEBIAN_EMPRUNTS})
  debian_fichiers(${paquet})
endforeach()

# debian_adresse(POOL PAQUET FICHIER VARIABLE): where a pool keeps a file of a source
# package: POOL/g/giflib/..., POOL/libs/libsdl1.2/..., POOL being an archive's
# pool/main (its security archive's pool/updates/main).
function(debian_adresse pool paquet fichier variable)
  string(REGEX MATCH "^(lib.|.)" initiale ${paquet})
  string(REPLACE "+" "%2B" fichier "${fichier}")
  set(${variable} ${pool}/${initiale}/${paquet}/${fichier} PARENT_SCOPE)
endfunction()
