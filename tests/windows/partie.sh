#!/usr/bin/env bash
# The Windows game from its zip, and from the setup beside it: what Windows reads of
# them before they run, then under Wine in an X window what the game shows, what it
# writes to stdout.txt and stderr.txt beside itself, and how it ends; what the setup
# puts where, and what its uninstaller leaves.
#   partie.sh ZIP CASE
# CASE is one of the labels of the case statement below, each on a line of its own:
# CMakeLists.txt reads them there and makes a CTest case of each.
# Needs DISPLAY and WINEPREFIX. Each run plays a fresh copy.
set -euo pipefail
projet=$(realpath "$(dirname "$0")/../..")
. "$projet/scripts/commun.sh"
zip=$(realpath "$1")
version=$(basename "$zip" -win32.zip) && version=${version#gavremo-}
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
    >"$travail/console.txt" 2>&1) &
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
# No window: import would wait for a click to pick one.
voir() { [ -n "$fen" ] && vue "$fen" "$travail/vue.png" && "$1" "$travail/vue.png"; }
attendre() { for _ in $(seq 300); do voir "$1" && return 0; sleep 0.1; done; return 1; }
xdo() { xdotool "$@" 2>/dev/null; }
muet() { [ "$(tr -d '\0' < "$jeu/son.raw" | head -c 1 | wc -c)" = 0 ]; }
ligne_manquante="^Incapable de charger rsrc_img/target.jpg"
# What windres reads back of a program's resources, and its icon group's entries:
# width and height as escaped bytes (0 for 256), then bits.
ressources() { i686-w64-mingw32-windres -J coff -i "$1" -O rc; }
icones() {
  sed -n 's/^ *"\(.*\)", 1, \([0-9]*\), .*Element no.*/\1 \2/p' | while read -r taille bits; do
    set -- $(printf '%b' "$taille" | od -An -tu1)
    echo "$(($1 ? $1 : 256))x$(($2 ? $2 : 256))x$bits"
  done | xargs
}
toutes_icones="16x16x32 32x32x32 48x48x32 256x256x32"
# windres writes each UTF-16 unit beyond ASCII as an octal escape (é is \351, © \251):
# read with a wrong code page, é's two UTF-8 bytes would come out as two letters.
societe="Les développeurs de Gavremo"
droits='VALUE "LegalCopyright", L"\251 2026 les d\351veloppeurs de Gavremo, sous licence zlib"'
societe_rc='VALUE "CompanyName", L"Les d\351veloppeurs de Gavremo"'
# Each file of a folder, sorted.
liste() { (cd "$1" && find . -type f | LC_ALL=C sort); }
# What the setup installs from the zip's folder given: its files, the uninstaller and
# NSIS's notice, and any other files named after it.
installes() { (liste "$1"; shift; printf './%s\n' desinstaller.exe LICENSE-NSIS.txt "$@") | LC_ALL=C sort; }

# The setup beside the zip, and its uninstaller as makensis made it. Each case that
# runs it has a throwaway copy of the Wine prefix the others share, with its own C:
# drive and registry, under the locale that spells any folder's name.
setup=${zip%.zip}-setup.exe
desinstalleur=$(dirname "$zip")/setup/desinstaller.exe
cle='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gavremo'
prefixe() {
  # The shared prefix at rest: a case before may have left its Wine still running, and
  # a server writes the registry to disk only as it ends.
  timeout 120 wineserver -w || echec "the shared prefix's Wine still ran after 120 s"
  cp -a "$WINEPREFIX" "$travail/wine"
  cp "$setup" "$travail/setup.exe"
  export WINEPREFIX=$travail/wine LC_ALL=C.UTF-8
  en_partant "wineserver -k 2>/dev/null || true"
  profil=$WINEPREFIX/drive_c/users/$(id -un)
  jeu=$profil/AppData/Local/Programs/Gavremo
  jeu_w="C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Gavremo"
  lien="$profil/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Gavremo.lnk"
}
# Runs a Windows program and waits until Wine is done with all it started: an
# uninstaller returns at once and goes on from %TEMP%.
executer() {
  local s=0
  timeout 120 wine "$@" >>"$travail/wine.log" 2>&1 || s=$?
  timeout 120 wineserver -w
  return $s
}
# poser SETUP [FOLDER]: a silent install, into FOLDER when named. Wine would quote an
# argument with a space in it, which the setup then ignores: cmd passes /D= as typed.
poser() {
  if [ $# = 1 ]; then executer "$1" /S; else executer cmd /c "$(winepath -w "$1") /S /D=$2"; fi
}
# The uninstall entry as reg exports it, in UTF-8: reg query garbles accents.
# Nothing when there is no such key. Wine's reg ends with 1 for any fault, and says
# which on stdout: this line for a missing key (in English under prefixe()'s locale).
# Any other fault fails, with what reg said.
lire_cle() {
  local dit s=0
  rm -f "$travail/cle.reg"
  dit=$(wine reg export "$1" "$travail/cle.reg" /y 2>"$travail/reg.err") || s=$?
  dit=$(tr -d '\r' <<<"$dit")
  if [ $s != 0 ]; then
    [ $s = 1 ] && [ "$dit" = "reg: Unable to find the specified registry key" ] && return 0
    echo "reg export $1 failed with status $s: ${dit:+$dit }$(cat "$travail/reg.err")" >&2
    return 1
  fi
  iconv -f UTF-16LE -t UTF-8 "$travail/cle.reg" | tr -d '\r' | sed '1s/^\xEF\xBB\xBF//'
}
# No such key; fails when reg does.
sans_cle() { local entree; entree=$(lire_cle "$1") && [ -z "$entree" ]; }
# A string as reg writes it: quoted, its backslashes and quotes escaped.
chaine() { local s=${1//\\/\\\\}; echo "\"${s//\"/\\\"}\""; }
# Runs the entry's QuietUninstallString as Windows would: the quoted program, with /S.
desinstaller() {
  local programme
  programme=$(lire_cle "$cle" | sed -n 's/^"QuietUninstallString"="\\"\(.*\)\\" \/S"$/\1/p')
  [ -n "$programme" ] && executer "${programme//\\\\/\\}" /S
}
# Wine at rest, as a restart of Windows leaves it: a session of its own, whose start does
# what Windows does as it starts again (the renames an uninstaller asked for), then no
# process of Wine's left and its server ended, the registry written to its files. While
# a session runs, Wine writes keys of its own on its own time (its display's, as its
# desktop starts): a snapshot taken then sees them or not, by luck.
repos() {
  wine cmd /c exit >>"$travail/wine.log" 2>&1 || true
  timeout 120 wineserver -w || echec "Wine still ran after 120 s"
}
# A hive as Wine keeps it on disk (system.reg for HKLM, user.reg for HKCU): what a
# program writes stays there, and a session's volatile keys never reach it. Less the
# time of each key's last change, and the display driver's date, which Wine writes
# again at each start.
ruche() {
  [ "$(head -n 1 "$WINEPREFIX/$1")" = "WINE REGISTRY Version 2" ] || echec "no registry read from $1"
  sed -e 's/^\(\[.*\]\) [0-9]*$/\1/' -e '/^#time=/d' -e '/^"DriverDateData"=/d' "$WINEPREFIX/$1"
}
# The machine's side, with Wine at rest: HKLM, and the C: drive outside the user's
# profile, each file with its size and date.
machine() {
  ruche system.reg
  (cd "$WINEPREFIX/drive_c" && find . -path "./users/$(id -un)" -prune -o -printf '%p %s %T@\n' | LC_ALL=C sort)
}

case "$2" in
dlls)
  # Every DLL that the exe or a shipped DLL imports is shipped, or part of Windows.
  deballer
  systeme=" kernel32.dll msvcrt.dll user32.dll gdi32.dll winmm.dll advapi32.dll shell32.dll ole32.dll "
  for f in "$jeu"/*.exe "$jeu"/*.dll; do
    importees=$(i686-w64-mingw32-objdump -p "$f" | awk '/DLL Name:/ { print $3 }') ||
      echec "objdump could not read $(basename "$f")'s imports"
    for dll in $importees; do
      verifier "$(basename "$f") imports $dll" \
        '[ -e "$jeu/$dll" ] || [[ "$systeme" == *" ${dll,,} "* ]]'
    done
    # Every program imports from kernel32 at least: none read means objdump read nothing.
    verifier "$(basename "$f"): $(wc -w <<<"$importees") imported DLLs read" '[ -n "$importees" ]'
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
  rc=$(ressources "$jeu/gavremo.exe")
  verifier "one icon, of 16, 32, 48 and 256 pixels in 32 bits" \
    '[ "$(grep -c "RT_GROUP_ICON" <<<"$rc")" = 1 ] && [ "$(icones <<<"$rc")" = "$toutes_icones" ]'
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
  verifier "the copyright and the company, their accents whole" \
    'grep -qF "$droits" <<<"$rc" && grep -qF "$societe_rc" <<<"$rc"'
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
  verifier "its French has its accents" 'grep -q "^Décompressez ce dossier où" "$lisez" && grep -q " à côté " "$lisez"'
  verifier "it gives the credits that FreeType's and the IJG's licences ask for" \
    'grep -q "copyright © 2022 The FreeType Project" "$lisez" && grep -q "work of the Independent JPEG Group\.$(printf "\r")$" "$lisez"' ;;
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
    '[ $statut = 1 ] && [ ! -e "$jeu/stderr.txt" ] && grep -q "$ligne_manquante" "$travail/console.txt"' ;;
abimes)
  # A damaged sprite, then a font cut short: each refused with its line, status 1.
  deballer
  cp "$projet/tests/fuzz/corpus/gif/plantait-image-plus-large-que-l-ecran.gif" "$jeu/rsrc_img/curseur.gif"
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
setup)
  # What Windows shows of the setup before it runs, and what its header and its
  # uninstaller's claim: no administrator asked for, no ASLR without relocations.
  rc=$(ressources "$setup")
  verifier "the setup: the game's icon, of 16, 32, 48 and 256 pixels" \
    '[ "$(grep -c "RT_GROUP_ICON" <<<"$rc")" = 1 ] && [ "$(icones <<<"$rc")" = "$toutes_icones" ]'
  verifier "one version resource, in French" \
    '[ "$(grep -c " VERSIONINFO$" <<<"$rc")" = 1 ] && grep -q "VALUE \"Translation\", 0x40c, " <<<"$rc"'
  for valeur in '"ProductName", "Gavremo"' '"FileDescription", "Installation de Gavremo"' \
                "\"FileVersion\", \"$version\"" "\"ProductVersion\", \"$version\"" \
                "\"OriginalFilename\", \"$(basename "$setup")\""; do
    verifier "$valeur" 'grep -qF "VALUE $valeur" <<<"$rc"'
  done
  verifier "the copyright and the company, their accents whole" \
    'grep -qF "$droits" <<<"$rc" && grep -qF "$societe_rc" <<<"$rc"'
  i686-w64-mingw32-objcopy -O binary --only-section=.rsrc "$setup" "$travail/rsrc"
  verifier "its manifest runs it as the user who starts it" \
    'grep -aq "<requestedExecutionLevel level=\"asInvoker\"" "$travail/rsrc"'
  for f in "$setup" "$desinstalleur"; do
    entete=$(i686-w64-mingw32-objdump -p -h "$f")
    verifier "$(basename "$f"): NX_COMPAT" 'grep -qE "^[[:space:]]+NX_COMPAT$" <<<"$entete"'
    verifier "$(basename "$f"): DYNAMIC_BASE only with relocations" \
      '! grep -qE "^[[:space:]]+DYNAMIC_BASE$" <<<"$entete" || grep -qE "^ +[0-9]+ \.reloc " <<<"$entete"'
  done ;;
setup-fichiers)
  # A silent install puts the zip's files, byte for byte, the uninstaller that makensis
  # made and NSIS's licence in %LOCALAPPDATA%\Programs\Gavremo, and nothing else.
  deballer
  zipjeu=$jeu
  prefixe
  verifier "the silent setup ends with status 0" 'poser "$travail/setup.exe"'
  verifier "the zip's files, the uninstaller and NSIS's licence in the user's Programs, nothing else" \
    '[ "$(liste "$jeu")" = "$(installes "$zipjeu")" ]'
  verifier "each the zip's bytes" 'diff -r -x desinstaller.exe -x LICENSE-NSIS.txt "$zipjeu" "$jeu" >/dev/null'
  verifier "the uninstaller the one makensis made" 'cmp -s "$desinstalleur" "$jeu/desinstaller.exe"'
  verifier "NSIS's licence Debian's" 'cmp -s /usr/share/doc/nsis/copyright "$jeu/LICENSE-NSIS.txt"' ;;
raccourci)
  # The Start menu shortcut, as lnkinfo reads it, and the game started from it: it
  # finds its pictures from the shortcut's working folder.
  prefixe
  poser "$travail/setup.exe" || true
  lnk=$(lnkinfo "$lien" 2>/dev/null) || true
  champ() { sed -n "s/^[[:space:]]*$1[[:space:]]*: //p" <<<"$lnk"; }
  verifier "a shortcut Gavremo in the user's Start menu" '[ -f "$lien" ]'
  verifier "to the installed gavremo.exe" '[ "$(champ "Local path")" = "$jeu_w\\gavremo.exe" ]'
  verifier "working in the install folder" '[ "$(champ "Working directory")" = "$jeu_w" ]'
  verifier "with the game's icon" '[ "$(champ "Icon location")" = "$jeu_w\\gavremo.exe" ] && [ "$(champ "Icon index")" = 0 ]'
  SDL_AUDIODRIVER=dummy timeout 120 wine start /unix "$lien" >>"$travail/wine.log" 2>&1 &
  fenetre
  # A console program: its console window opens too, over it on a display with no
  # window manager.
  xdo windowraise "$fen" || true
  verifier "started from it, the game shows its scene" 'attendre scene'
  xdo mousemove --window "$fen" 40 300 click 1
  verifier "a miss at score 0 shows the game-over picture" 'attendre perdu'
  xdo key a
  timeout 60 wineserver -w || true
  verifier "Exited cleanly in stdout.txt beside the game" 'grep -qs "^Exited cleanly" "$jeu/stdout.txt"' ;;
cle)
  # The uninstall entry under HKCU, each value read back, and no other.
  prefixe
  poser "$travail/setup.exe" || true
  entree=$(lire_cle "$cle")
  kio=$(find "$jeu" -type f -printf '%s\n' | awk '{ s += $1 } END { print int((s + 1023) / 1024) }')
  while read -r valeur; do
    verifier "$valeur" 'grep -qxF -- "$valeur" <<<"$entree"'
  done <<EOF
"DisplayName"="Gavremo"
"DisplayVersion"="$version"
"Publisher"="$societe"
"DisplayIcon"=$(chaine "$jeu_w\\gavremo.exe")
"InstallLocation"=$(chaine "$jeu_w")
"UninstallString"=$(chaine "\"$jeu_w\\desinstaller.exe\"")
"QuietUninstallString"=$(chaine "\"$jeu_w\\desinstaller.exe\" /S")
"EstimatedSize"=dword:$(printf %08x "$kio")
"NoModify"=dword:00000001
"NoRepair"=dword:00000001
EOF
  verifier "and no other value" '[ "$(grep -c "^\"" <<<"$entree")" = 10 ]' ;;
hklm)
  # Nothing for the machine: no key under HKLM, no file on C: outside the user's profile.
  prefixe
  repos
  machine >"$travail/avant"
  poser "$travail/setup.exe" || true
  repos
  machine >"$travail/apres"
  verifier "the setup installed" '[ -e "$jeu/gavremo.exe" ]'
  verifier "nothing new under HKLM nor on C: outside the profile" 'diff "$travail/avant" "$travail/apres"' ;;
accents)
  # Into a folder with spaces and letters outside the system's code page, named by /D=.
  deballer
  zipjeu=$jeu
  prefixe
  nom="Mes Jeux Жёлтый à moi"
  jeu=$profil/$nom/Gavremo
  jeu_w="C:\\users\\$(id -un)\\$nom\\Gavremo"
  poser "$travail/setup.exe" "$jeu_w" || true
  verifier "the game's files in $nom" \
    '[ "$(liste "$jeu")" = "$(installes "$zipjeu")" ]'
  verifier "the entry names the folder whole" 'grep -qxF "\"InstallLocation\"=$(chaine "$jeu_w")" <<<"$(lire_cle "$cle")"'
  # Wine's shell writes a shortcut's target in the ANSI code page alone, so Wine cannot
  # follow this one (Windows writes the Unicode name too); its working folder is a
  # Unicode string.
  lnk=$(lnkinfo "$lien" 2>/dev/null) || true
  verifier "the shortcut's working folder spelt whole" 'grep -qxF "	Working directory		: $jeu_w" <<<"$lnk"'
  verifier "the quiet uninstall removes it" 'desinstaller && [ ! -e "$jeu" ] && sans_cle "$cle"' ;;
desinstallation)
  # After a game, and a crash that leaves both output files, the entry's quiet uninstall
  # removes everything the setup put there and the game wrote beside itself, files and
  # keys under HKLM (its HKCU entry is checked by name); a picture the player added
  # stays, with its folder. The
  # uninstaller runs from a copy of itself in %TEMP%, which it asks Windows to delete at
  # the next restart (Wine does so as it starts again, Windows only for an
  # administrator): %TEMP% is left out.
  prefixe
  profil_sans_temp() { liste "$profil" | { grep -v '^\./Temp/' || true; }; }
  repos
  (profil_sans_temp; machine) >"$travail/avant"
  poser "$travail/setup.exe" || true
  lancer SDL_AUDIODRIVER=dummy
  fenetre
  attendre scene || true
  xdo mousemove --window "$fen" 40 300 click 1
  attendre perdu || true
  xdo key a
  fin
  verifier "one game played to its end" '[ $statut = 0 ] && grep -qs "^Exited cleanly" "$jeu/stdout.txt"'
  lancer SDL_AUDIODRIVER=dummy
  fenetre
  wine taskkill /f /im gavremo.exe >/dev/null 2>&1 || true
  fin
  # Wine closes a killed program's files a moment after it ends.
  timeout 60 wineserver -w || true
  verifier "a crash leaves stdout.txt and stderr.txt" '[ -e "$jeu/stdout.txt" ] && [ -e "$jeu/stderr.txt" ]'
  cp "$jeu/rsrc_img/target.jpg" "$jeu/rsrc_img/ma-cible.jpg"
  desinstaller || true
  verifier "no entry left" 'sans_cle "$cle"'
  verifier "no shortcut left" '[ ! -e "$lien" ]'
  repos
  (profil_sans_temp; machine) >"$travail/apres"
  verifier "nothing else left but the player's picture" \
    '[ "$(diff "$travail/avant" "$travail/apres" | grep "^[<>]")" = "> ./AppData/Local/Programs/Gavremo/rsrc_img/ma-cible.jpg" ]' ;;
mise-a-jour)
  # An older version installed where the player chose, with files of the player's,
  # then this one over it without /D=: it goes to the same folder, takes the older
  # one's files away and keeps the player's, and leaves one entry.
  deballer
  zipjeu=$jeu
  prefixe
  ancien=$travail/ancien/gavremo-0.9.0-win32
  mkdir "$travail/ancien" && cp -a "$zipjeu" "$ancien"
  cp "$ancien/rsrc_img/target.jpg" "$ancien/rsrc_img/ancienne.jpg"
  rm "$ancien/LISEZ-MOI.txt"
  cmake -DDOSSIER="$ancien" -DVERSION=0.9.0 -DSETUP="$travail/ancien.exe" -DNSI="$(dirname "$zip")/gavremo.nsi" \
    -DTRAVAIL="$travail/ancien-nsis" -DMAKENSIS=makensis -P "$projet/publication/windows/setup.cmake" >/dev/null
  verifier "version 0.9.0 installs in C:\\Jeux\\Gavremo" 'poser "$travail/ancien.exe" "C:\\Jeux\\Gavremo"'
  jeu=$WINEPREFIX/drive_c/Jeux/Gavremo
  echo "mes records" >"$jeu/records.txt"
  cp "$jeu/rsrc_img/target.jpg" "$jeu/rsrc_img/ma-cible.jpg"
  verifier "version $version installs over it" 'poser "$travail/setup.exe"'
  verifier "in the same folder" '[ ! -e "$profil/AppData/Local/Programs/Gavremo" ]'
  verifier "the new files, none of the old ones it dropped, and the player's" \
    '[ "$(liste "$jeu")" = "$(installes "$zipjeu" records.txt rsrc_img/ma-cible.jpg)" ]'
  verifier "each the new version's bytes" \
    'diff -r -x desinstaller.exe -x LICENSE-NSIS.txt -x records.txt -x ma-cible.jpg "$zipjeu" "$jeu" >/dev/null'
  entrees=$(lire_cle "${cle%\\*}")
  verifier "one entry, the new version's" \
    '[ "$(grep -c "^\"DisplayName\"=\"Gavremo\"$" <<<"$entrees")" = 1 ] && grep -qxF "\"DisplayVersion\"=\"$version\"" <<<"$entrees"'
  verifier "one shortcut" '[ -f "$lien" ]' ;;
demo)
  # The self-playing demo, whose display is its own: Wine starts afresh on it.
  deballer
  wineserver -k 2>/dev/null || true
  wineserver -w
  GAVREMO="$projet/tests/windows/gavremo-wine.sh" GAVREMO_EXE="$jeu/gavremo.exe" \
    "$projet/scripts/demo.sh" "$travail/demo" || echecs=1 ;;
*) echec "no such case: $2" ;;
esac
[ $echecs = 0 ]
