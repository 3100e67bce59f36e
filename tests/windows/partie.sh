#!/usr/bin/env bash
# The Windows game from its zip: what Windows reads of it before it runs, then under
# Wine in an X window what it shows, what it writes to stdout.txt and stderr.txt
# beside itself, and how it ends.
#   partie.sh ZIP dlls|durci|ressources|lisez-moi|perdu|eclair|fermer|manquant|abimes|dossier|demo
# Needs DISPLAY and WINEPREFIX. Each run plays a fresh copy.
set -euo pipefail
racine=$(realpath "$(dirname "$0")/../..")
. "$racine/scripts/commun.sh"
zip=$(realpath "$1")
travail=$(mktemp -d /tmp/gavremo_wineXXXXXX)
en_partant "rm -rf '$travail'"
echecs=0

verifier() {
  if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1: $2"; echecs=$((echecs + 1)); fi
}
# Unpacks the zip into the folder named (by default jeu) and sets $jeu to the game's folder.
deballer() {
  mkdir "$travail/${1:-jeu}" && unzip -q "$zip" -d "$travail/${1:-jeu}"
  jeu=$(echo "$travail/${1:-jeu}"/gavremo-*)
}
# Starts the game in its folder, sound to the disk driver, the console to console.txt.
# Wine spells Unix file names in the locale's character set: under the C locale of a
# bare machine a folder named outside ASCII cannot be spelt, and the game never starts.
lancer() {
  (cd "$jeu" && exec env LC_ALL=C.UTF-8 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=son.raw "$@" wine gavremo.exe \
    >console.txt 2>&1) &
  pid=$!
}
fenetre() { fen=$(timeout 60 xdotool search --sync --name '^Gavremo /by Merulek$' | head -n 1) || true; }
# Waits up to a minute for the game to end; its status in $statut.
fin() {
  for _ in $(seq 600); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  kill $pid 2>/dev/null || true
  statut=0
  wait $pid || statut=$?
}
voir() { vue "$fen" "$travail/vue.png" && "$1" "$travail/vue.png"; }
attendre() { for _ in $(seq 300); do voir "$1" && return 0; sleep 0.1; done; return 1; }
xdo() { xdotool "$@" 2>/dev/null; }
muet() { [ "$(tr -d '\0' < "$jeu/son.raw" | head -c 1 | wc -c)" = 0 ]; }
ligne_manquante="^Incapable de charger rsrc_img/target.jpg"

case "$2" in
dlls)
  # Every DLL that the exe or a shipped DLL imports is shipped, or part of Windows.
  deballer
  systeme=" kernel32.dll msvcrt.dll user32.dll gdi32.dll winmm.dll advapi32.dll shell32.dll ole32.dll "
  for f in "$jeu"/*.exe "$jeu"/*.dll; do
    for dll in $(i686-w64-mingw32-objdump -p "$f" | awk '/DLL Name:/ { print $3 }'); do
      verifier "$(basename "$f") imports $dll" \
        '[ -e "$jeu/$dll" ] || [[ "$systeme" == *" ${dll,,} "* ]]'
    done
  done ;;
durci)
  # Each program shipped loads at a random address (with the relocations for it), keeps
  # data out of execution, and checks its stack with libssp's guard, linked in: the
  # zip holds no DLL but SDL's two.
  deballer
  verifier "the DLLs shipped are SDL's two" '[ "$(cd "$jeu" && ls -- *.dll | xargs)" = "SDL.dll SDL_mixer.dll" ]'
  for f in "$jeu"/*.exe "$jeu"/*.dll; do
    entete=$(i686-w64-mingw32-objdump -p -h "$f")
    for drapeau in DYNAMIC_BASE NX_COMPAT; do
      verifier "$(basename "$f"): $drapeau" 'grep -qE "^[[:space:]]+$drapeau$" <<<"$entete"'
    done
    verifier "$(basename "$f"): relocations" 'grep -qE "^ +[0-9]+ \.reloc " <<<"$entete"'
    verifier "$(basename "$f"): a stack guard" 'grep -qa "stack smashing detected" "$f"'
  done ;;
ressources)
  # What Explorer, Properties and Task Manager show: the game's icon at each size, and
  # one version resource, the game's, in one language. Nothing of winpthreads.
  deballer
  version=$(basename "$zip" -win32.zip) && version=${version#gavremo-}
  rc=$(i686-w64-mingw32-windres -J coff -i "$jeu/gavremo.exe" -O rc)
  # The icon group's entries: width and height as escaped bytes (0 for 256), bits.
  icones=$(sed -n 's/^ *"\(.*\)", 1, \([0-9]*\), .*Element no.*/\1 \2/p' <<<"$rc" | while read -r taille bits; do
    set -- $(printf '%b' "$taille" | od -An -tu1)
    echo "$(($1 ? $1 : 256))x$(($2 ? $2 : 256))x$bits"
  done | xargs)
  verifier "one icon, of 16, 32, 48 and 256 pixels in 32 bits" \
    '[ "$(grep -c "RT_GROUP_ICON" <<<"$rc")" = 1 ] && [ "$icones" = "16x16x32 32x32x32 48x48x32 256x256x32" ]'
  verifier "one version resource" '[ "$(grep -c " VERSIONINFO$" <<<"$rc")" = 1 ]'
  verifier "every resource in French" '[ "$(grep "^LANGUAGE" <<<"$rc")" = "LANGUAGE 12, 1" ]'
  verifier "its strings in French, in UTF-16" \
    'grep -q "BLOCK \"040C04B0\"" <<<"$rc" && grep -q "VALUE \"Translation\", 0x40c, 1200" <<<"$rc"'
  verifier "version $version" \
    '[ "$(grep -cx " \(FILE\|PRODUCT\)VERSION ${version//./, }, 0" <<<"$rc")" = 2 ]'
  for valeur in '"FileDescription", "Gavremo"' '"ProductName", "Gavremo"' "\"FileVersion\", \"$version\"" \
                "\"ProductVersion\", \"$version\"" '"OriginalFilename", "gavremo.exe"'; do
    verifier "$valeur" 'grep -qF "VALUE $valeur" <<<"$rc"'
  done
  # windres writes each UTF-16 unit beyond ASCII as an octal escape (é is \351, © \251):
  # read with a wrong code page, é's two UTF-8 bytes would come out as two letters.
  droits='VALUE "LegalCopyright", L"\251 2026 les d\351veloppeurs de Gavremo, sous licence zlib"'
  societe='VALUE "CompanyName", L"Les d\351veloppeurs de Gavremo"'
  verifier "the copyright and the company, their accents whole" \
    'grep -qF "$droits" <<<"$rc" && grep -qF "$societe" <<<"$rc"'
  i686-w64-mingw32-objcopy -O binary --only-section=.rsrc "$jeu/gavremo.exe" "$travail/rsrc"
  verifier "no MinGW nor WinThreads in the resources" \
    '[ -s "$travail/rsrc" ] && ! tr -d "\0" < "$travail/rsrc" | grep -aqiE "mingw|winthreads"' ;;
lisez-moi)
  # The readme as every Notepad reads it: UTF-8 by its byte-order mark, Windows line ends.
  deballer
  lisez=$jeu/LISEZ-MOI.txt
  cr=$(tr -cd '\r' < "$lisez" | wc -c) lf=$(tr -cd '\n' < "$lisez" | wc -c)
  sans_cr=$(grep -cv $'\r$' "$lisez" || true)
  verifier "LISEZ-MOI.txt starts with UTF-8's byte-order mark" '[ "$(head -c 3 "$lisez" | od -An -tx1 | xargs)" = "ef bb bf" ]'
  verifier "it is UTF-8 throughout" 'iconv -f UTF-8 -t UTF-8 "$lisez" >/dev/null'
  verifier "each of its lines ends in CR LF" \
    '[ "$lf" -gt 1 ] && [ "$cr" = "$lf" ] && [ "$sans_cr" = 0 ] && [ "$(tail -c 1 "$lisez" | od -An -tx1)" = " 0a" ]'
  verifier "its French has its accents" 'grep -q "^Décompressez ce dossier où" "$lisez" && grep -q " à côté " "$lisez"' ;;
perdu)
  # A miss at score 0 sounds, loses, and a key leaves cleanly.
  deballer
  lancer
  fenetre
  verifier "the window has the game's caption" '[ -n "$fen" ]'
  verifier "the scene is drawn" 'attendre scene'
  xdo mousemove --window "$fen" 40 300 click 1
  verifier "a miss at score 0 shows the game-over picture" 'attendre perdu'
  xdo key a
  fin
  verifier "a key on the game-over screen ends with status 0" '[ $statut = 0 ]'
  verifier "Exited cleanly in stdout.txt" 'grep -q "^Exited cleanly" "$jeu/stdout.txt"'
  verifier "the shot wrote sound through the disk driver" '! muet' ;;
eclair)
  # Once the space bar is released, a shot flashes instead and writes no sound.
  deballer
  lancer
  fenetre
  attendre scene || true
  xdo mousemove --window "$fen" 40 300 key space click 1
  verifier "a shot in flash mode loses too" 'attendre perdu'
  xdo key a
  fin
  verifier "a shot in flash mode writes no sound" '[ -s "$jeu/son.raw" ] && muet' ;;
fermer)
  # Closing the window in play: status 1 and no clean exit.
  deballer
  lancer
  fenetre
  attendre scene || true
  wine taskkill /im gavremo.exe >/dev/null 2>&1
  fin
  verifier "closing the window in play ends with status 1" '[ $statut = 1 ]'
  verifier "and without Exited cleanly" '! grep -qs Exited "$jeu/stdout.txt"' ;;
manquant)
  # A missing picture: one line in stderr.txt, or on the console when not redirected.
  deballer
  rm "$jeu/rsrc_img/target.jpg"
  lancer
  fin
  verifier "a missing target.jpg ends with status 1" '[ $statut = 1 ]'
  verifier "and one line in stderr.txt" \
    '[ "$(wc -l < "$jeu/stderr.txt")" = 1 ] && grep -q "$ligne_manquante" "$jeu/stderr.txt"'
  verifier "nothing in stdout.txt, which is then removed" '[ ! -e "$jeu/stdout.txt" ]'
  rm "$jeu/stderr.txt"
  lancer SDL_STDIO_REDIRECT=0
  fin
  verifier "SDL_STDIO_REDIRECT=0 keeps it on the console" \
    '[ $statut = 1 ] && [ ! -e "$jeu/stderr.txt" ] && grep -q "$ligne_manquante" "$jeu/console.txt"' ;;
abimes)
  # A damaged sprite, then a font cut short: each refused with its line, status 1.
  deballer
  cp "$racine/tests/fuzz/corpus/gif/plantait-image-plus-large-que-l-ecran.gif" "$jeu/rsrc_img/curseur.gif"
  lancer
  fin
  verifier "a damaged curseur.gif ends with status 1" '[ $statut = 1 ]'
  verifier "and its line in stderr.txt" \
    'tr -d "\r" < "$jeu/stderr.txt" | grep -qx "Incapable de charger rsrc_img/curseur.gif: GIF frame outside its screen"'
  deballer police
  police=$jeu/font/MorrisRomanBlack.ttf
  head -c $(($(stat -c %s "$police") * 10 / 64)) "$police" >"$travail/coupee" && mv "$travail/coupee" "$police"
  lancer
  fin
  verifier "a cut font ends with status 1" '[ $statut = 1 ]'
  verifier "and its line in stderr.txt" 'grep -q "^Incapable de charger font/MorrisRomanBlack.ttf: " "$jeu/stderr.txt"' ;;
dossier)
  # A folder whose name the system's ANSI code page cannot spell still gets the output.
  deballer "Mes Téléchargements Жёлтый"
  rm "$jeu/rsrc_img/target.jpg"
  lancer
  fin
  verifier "in a Cyrillic folder, status 1" '[ $statut = 1 ]'
  verifier "and the line in stderr.txt beside the game" 'grep -q "$ligne_manquante" "$jeu/stderr.txt"' ;;
demo)
  # The self-playing demo, whose display is its own: Wine starts afresh on it.
  deballer
  wineserver -k 2>/dev/null || true
  wineserver -w
  GAVREMO="$racine/tests/windows/gavremo-wine.sh" GAVREMO_EXE="$jeu/gavremo.exe" \
    "$racine/scripts/demo.sh" "$travail/demo" || echecs=1 ;;
*) echec "no such case: $2" ;;
esac
[ $echecs = 0 ]
