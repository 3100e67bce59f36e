# Sourced by every script and shell test: what more than one of them needs.

# Root does it directly, anyone else through sudo.
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

# What the builds make once from Debian's sources, kept outside the clone for every
# later run (plateforme/bibliotheques/cache.cmake); made here so that a user who is not root owns it.
GAVREMO_CACHE=${GAVREMO_CACHE:-/var/cache/gavremo}
cache_pret() { [ -w "$GAVREMO_CACHE" ] || $sudo install -d -o "$(id -u)" -g "$(id -g)" "$GAVREMO_CACHE"; }

# Says which script failed and why, and stops it.
echec() {
  echo "$(basename "$0"): $*" >&2
  exit 1
}

# Commands to run when the script ends, however it ends, last added first.
a_la_fin=""
en_partant() {
  a_la_fin="$1; $a_la_fin"
  trap 'eval "$a_la_fin"' EXIT
}

installe() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# apt-get update, tried again after each pause of GAVREMO_PAUSES (seconds): a mirror
# caught mid-sync serves for a while an index its Release does not describe, and
# apt's own retries fetch that same index. When it still fails, prints apt's errors.
actualiser() {
  local pause avis
  for pause in ${GAVREMO_PAUSES-30 60} fin; do
    avis=$($sudo apt-get update -qq 2>&1 >/dev/null) && return 0
    [ "$pause" != fin ] || break
    echo "apt-get update failed, trying again in $pause s: $(grep -m1 '^E:' <<<"$avis")" >&2
    sleep "$pause"
  done
  grep '^E:' <<<"$avis" || echo "$avis"
  [[ "$avis" != *"Mirror sync in progress"* ]] || echo "The archive's mirror is being synced: try again later."
  return 1
}

# Installs the Debian packages named that are not installed yet; "name-" removes one.
# When the update fails, apt may still find them in the lists it has.
installer() {
  local manquants=() p maj avis
  for p; do
    case "$p" in
      *-) ! installe "${p%-}" || manquants+=("$p") ;;
      *) installe "$p" || manquants+=("$p") ;;
    esac
  done
  [ ${#manquants[@]} -gt 0 ] || return 0
  echo "Installing: ${manquants[*]}"
  maj=$(actualiser) || echo "apt-get update failed, installing from the lists apt has: $(head -n 1 <<<"$maj")" >&2
  avis=$(DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq -o DPkg::Lock::Timeout=600 \
    --no-install-recommends "${manquants[@]}" 2>&1 >/dev/null) && return 0
  [ -z "$maj" ] || avis+=$'\n'"after apt-get update failed:"$'\n'"$maj"
  echec "could not install ${manquants[*]}:"$'\n'"$avis"
}

# The Debian archive apt uses here (not its security one).
miroir() {
  local f sources=()
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ ! -e "$f" ] || sources+=("$f")
  done
  grep -hE '^(URIs:|deb )' "${sources[@]}" /dev/null | grep -v security | grep -oE -m1 'https?://[^ ]+' ||
    echec "no Debian archive in apt's sources"
}

# The folder of this clone's copy in a root of scripts/racine.sh, named after the
# clone's full path.
copie_racine() { echo "/srv/gavremo-$(printf %s "$PWD" | sha1sum | cut -c1-12)"; }

# dans_racine ROOT SCRIPT [ARGUMENT...]: SCRIPT (its path from the clone's top) run
# again with its arguments in the root of scripts/racine.sh named, on this clone's
# copy there; returns its status. There, dedans ROOT tells it where it runs.
dans_racine() {
  local nom=$1
  shift
  "$(dirname "${BASH_SOURCE[0]}")/racine.sh" "$nom" env GAVREMO_DEDANS="$nom" "$@"
}
# Named, not merely set: a root's tests may start another script that has a root of its own.
dedans() { [ "${GAVREMO_DEDANS:-}" = "$1" ]; }

# Runs a long step with its output in a log; on failure shows the log's end and stops.
journal() {
  local log=$1
  shift
  "$@" >>"$log" 2>&1 || { tail -n 30 "$log" >&2; echec "failed: $* (log: $log)"; }
}

# Starts Xvfb on a display it picks itself, exports DISPLAY, and stops it at the end;
# xvfb WxHxD for a screen other than 800x700x24. A display picked by looking for lock
# files could be one a chroot has already taken.
xvfb() {
  local numero
  numero=$(mktemp)
  # It dies with the script, however the script ends: left behind, it would hold the
  # output of whoever ran the script (CTest) open.
  setpriv --pdeathsig KILL Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "${1:-800x700x24}" 3>"$numero" 2>/dev/null &
  en_partant "kill $! 2>/dev/null"
  # Xvfb writes the number, then a newline, once it takes clients.
  for _ in $(seq 400); do [ "$(wc -l <"$numero")" -ge 1 ] && break; sleep 0.05; done
  [ -s "$numero" ] || echec "Xvfb did not start"
  export DISPLAY=:$(head -n 1 "$numero")
  rm -f "$numero"
}

# What the game's window shows, as seen by the player: vue FENETRE FICHIER takes a
# picture of it, and the probes below read that picture.
vue() { import -window "$1" "$2" 2>/dev/null; }
# The target's middle, found by its white and blue rings; nothing when none shows.
cible() {
  convert "$1" -fuzz 25% -fill white -opaque '#0050ff' -fill black +opaque white \
    -format '%@' info: 2>/dev/null | awk -F'[x+]' '$1 > 20 { print $3 + $1 / 2, $4 + $2 / 2 }'
}
# The scene in play: the ground at the bottom, red score lines at the top left, the target.
scene() {
  [ "$(convert "$1" -format '%[fx:p{590,590}.g > 0.15 && p{590,590}.g > p{590,590}.b]' info:)" = 1 ] &&
    [ "$(convert "$1" -crop 160x82+0+0 -fuzz 10% -fill white -opaque red -fill black +opaque white \
         -format '%[fx:mean > 0.03]' info:)" = 1 ] &&
    [ -n "$(cible "$1")" ]
}
# The game-over screen: no ground at the bottom, the dark red picture in the middle.
perdu() {
  [ "$(convert "$1" -format '%[fx:p{300,590}.intensity == 0 && p{110,210}.r > 0.1 && p{110,210}.g < 0.1]' \
       info:)" = 1 ]
}

# Debian's PATH for users (/etc/login.defs), which ends with /usr/games.
chemin_joueur=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games

# Starts the game by the command given, on the display set, and closes it with SIGTERM
# once its 600x600 window shows the scene in play: status 1, as for any window closed
# in play. Says what went wrong otherwise, and fails.
voir_jouer() {
  local dossier pid fenetre erreurs statut=0 vu=""
  dossier=$(mktemp -d)
  SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy setpriv --pdeathsig KILL "$@" >"$dossier/sortie.txt" 2>"$dossier/erreurs.txt" &
  pid=$!
  fenetre=$(timeout 20 xdotool search --sync --name 'Gavremo /by Merulek' | head -n 1) || true
  if [ -n "$fenetre" ] && xdotool getwindowgeometry "$fenetre" | grep -q 'Geometry: 600x600'; then
    for _ in $(seq 50); do
      vue "$fenetre" "$dossier/vue.png" && scene "$dossier/vue.png" && { vu=1; break; }
      sleep 0.1
    done
  fi
  kill -TERM $pid 2>/dev/null || true
  wait $pid || statut=$?
  erreurs=$(cat "$dossier/erreurs.txt")
  rm -rf "$dossier"
  [ -n "$vu" ] || { echo "'$*' showed no 600x600 window with its scene: $erreurs"; return 1; }
  [ "$statut" = 1 ] || { echo "'$*' ended with status $statut: $erreurs"; return 1; }
}

# A click's time to the game-over screen with the mouse still, then moving 1,000 to
# 8,000 times a second: souris PARTIES LATENCE COMMANDE... starts the game's "cadence
# souris" with COMMANDE on the display set, PARTIES games a rate, each driven by the
# benchmark LATENCE, and prints for each rate the median and spread of the click's
# time, the medians of the motions a second sent and taken by the game's passes, and
# of its passes a second from its first motion to the press. The rates take turns, so
# that the load of other work falls on all of them alike.
souris() {
  local parties=$1 latence=$2 sortie taux n jeu fenetre mesure pris passes
  local -A lignes=()
  shift 2
  sortie=$(mktemp)
  for n in $(seq "$parties"); do
    for taux in 0 1000 2000 4000 8000; do
      "$@" >"$sortie" 2>/dev/null &
      jeu=$!
      fenetre=$(timeout 60 xdotool search --sync --name 'Gavremo /by Merulek' | head -n 1) || true
      mesure=$("$latence" "$fenetre" "$taux" 2>/dev/null) || mesure="99999 0"
      # The key it pressed last ends the game; one that missed is ended here.
      for _ in $(seq 100); do kill -0 $jeu 2>/dev/null || break; sleep 0.1; done
      kill $jeu 2>/dev/null || true
      wait $jeu 2>/dev/null || true
      pris=$(tr -d '\r' <"$sortie" | sed -n 's/.*: \([0-9]*\) a second, .*/\1/p')
      passes=$(tr -d '\r' <"$sortie" | sed -n 's/.* \([0-9]*\) passes a second$/\1/p')
      lignes[$taux]+="$mesure ${pris:-0} ${passes:-0}"$'\n'
    done
  done
  rm -f "$sortie"
  echo "| motions/s | click to screen, median | spread | sent/s | taken by the game/s | passes/s |"
  echo "|---|---|---|---|---|---|"
  for taux in 0 1000 2000 4000 8000; do
    printf '%s' "${lignes[$taux]}" | sort -n | awk -v taux="$taux" '
      { ms[NR] = $1; envoi[NR] = $2; pris[NR] = $3; passes[NR] = $4 }
      function mediane(t, n,   u, i, j, x) {
        for (i = 1; i <= n; i++) u[i] = t[i]
        for (i = 2; i <= n; i++) { x = u[i]; for (j = i - 1; j >= 1 && u[j] > x; j--) u[j + 1] = u[j]; u[j + 1] = x }
        return n % 2 ? u[(n + 1) / 2] : (u[n / 2] + u[n / 2 + 1]) / 2
      }
      END { printf "| %s | %.1f ms | %.1f–%.1f ms | %.0f | %.0f | %.0f |\n", taux ? taux : "still", mediane(ms, NR),
            ms[1], ms[NR], mediane(envoi, NR), mediane(pris, NR), mediane(passes, NR) }'
  done
}

# modules FOLDER...: the node modules of each folder of the clone, from its lockfile:
# tests/web's for the page's tests, publication/tests' for the check of every release's
# bill of materials (nomenclature.js).
modules() {
  local d
  for d; do (cd "$(dirname "${BASH_SOURCE[0]}")/../$d" && npm ci --no-audit --no-fund --loglevel=error); done
}

# The game's version, named once: in CMakeLists.txt's project().
version_projet() { sed -n 's/^project(gavremo VERSION \([^ )]*\).*/\1/p' "$(dirname "${BASH_SOURCE[0]}")/../CMakeLists.txt"; }

# suivis [PATHSPEC...]: the files git tracks in the work tree, NUL-separated, in byte
# order; not those deleted there, which stay in git's index until committed.
suivis() { LC_ALL=C comm -z -23 <(git ls-files -z -- "$@") <(git ls-files -z --deleted -- "$@"); }

# The Debian package's version, named once: in debian/changelog's last entry.
version_paquet() { dpkg-parsechangelog -l "$(dirname "${BASH_SOURCE[0]}")/../debian/changelog" -S Version; }

# qemu_binfmt ARCH [ENTRY]: qemu-user registered with the kernel's binfmt_misc for ARCH,
# with qemu-user-static's entry or ENTRY, when missing. Its F flag opens the emulator
# once, as registered, so that it runs inside the roots too. The entry is the whole
# kernel's, and left in place.
qemu_binfmt() {
  local binfmt=/proc/sys/fs/binfmt_misc
  installer qemu-user-static
  [ -e $binfmt/register ] || mount -t binfmt_misc binfmt_misc $binfmt
  [ ! -e "$binfmt/qemu-$1" ] || return 0
  echo "Registering qemu-$1 with the kernel's binfmt_misc"
  if [ $# -gt 1 ]; then printf '%s\n' "$2"; else cat "/usr/lib/binfmt.d/qemu-$1.conf"; fi >$binfmt/register
}

# Whether this kernel runs i386 programs, which Wine needs for the 32-bit game: an
# amd64 kernel does unless its 32-bit support is off, as in some virtual machines.
# Tried on the smallest such program, which only exits (qemu-user, when registered for
# i386, would run it too, but Wine does not work there).
i386_natif() {
  local f
  f=$(mktemp)
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'\
'\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'\
'\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$f"
  chmod +x "$f"
  "$f" 2>/dev/null
  local statut=$?
  rm -f "$f"
  return $statut
}
