# Run by the build once the game is linked: copies the page's own files beside it, and
# writes sw.js with the list of every file and a cache name made of their hash, so
# each build of different files has a cache of its own.
#   cmake -DSOURCE=plateforme/web -DPAGE=build-web/page -P hors-ligne.cmake
set(propres index.html manifest.webmanifest icone-192.png icone-512.png)
foreach(f ${propres})
  configure_file(${SOURCE}/${f} ${PAGE}/${f} COPYONLY)
endforeach()
set(fichiers ${propres} gavremo.js gavremo.wasm gavremo.data)
set(empreintes "")
set(FICHIERS "'./'")
foreach(f ${fichiers})
  file(SHA256 ${PAGE}/${f} h)
  string(APPEND empreintes "${f} ${h}\n")
  string(APPEND FICHIERS ", '${f}'")
endforeach()
string(SHA256 h "${empreintes}")
string(SUBSTRING ${h} 0 16 h)
set(NOM "gavremo-${h}")
configure_file(${SOURCE}/sw.js ${PAGE}/sw.js @ONLY)
