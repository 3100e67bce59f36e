# Run by the build once the game is linked and licences.html written: copies the
# page's own files beside them, then writes sw.js with the list of every file and a
# cache name made of their hash, so each build of different files has a cache of its
# own.
#   cmake -DSOURCE=plateforme/web -DPAGE=build-web/page -P hors-ligne.cmake
cmake_minimum_required(VERSION 3.25)
set(propres index.html manifest.webmanifest icone-192.png icone-512.png)
foreach(f ${propres})
  configure_file(${SOURCE}/${f} ${PAGE}/${f} COPYONLY)
endforeach()
set(fichiers ${propres} licences.html gavremo.js gavremo.wasm)
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

# Each text-like file beside a brotli and a gzip copy, for a server that sends them to
# a browser that takes them (scripts/web.sh --serve): a third of the bytes, made once
# here rather than at every request. Both tools give the same bytes for the same file;
# gzip -n leaves out the name and date.
find_program(BROTLI brotli REQUIRED)
find_program(GZIP gzip REQUIRED)
foreach(f index.html licences.html manifest.webmanifest sw.js gavremo.js gavremo.wasm)
  execute_process(COMMAND ${BROTLI} -q 11 -f -o ${PAGE}/${f}.br ${PAGE}/${f} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${GZIP} -9 -n -c ${PAGE}/${f} OUTPUT_FILE ${PAGE}/${f}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
