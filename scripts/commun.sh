# Sourced by every script and shell test: what more than one of them needs.

# Root does it directly, anyone else through sudo.
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

# What is built once from Debian's sources, kept outside the clone for every later run.
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

# Installs the Debian packages named that are not installed yet; "name-" removes one.
installer() {
  local manquants=() p
  for p; do
    case "$p" in
      *-) ! installe "${p%-}" || manquants+=("$p") ;;
      *) installe "$p" || manquants+=("$p") ;;
    esac
  done
  [ ${#manquants[@]} -gt 0 ] || return 0
  echo "Installing: ${manquants[*]}"
  $sudo apt-get update -qq || echec "apt-get update failed"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq -o DPkg::Lock::Timeout=600 \
    --no-install-recommends "${manquants[@]}" >/dev/null || echec "could not install ${manquants[*]}"
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

# Debian's sources of a package, fetched once: sources PAQUET DOSSIER. apt-get source
# needs a deb-src entry: one for the machine's own Debian archive is added when it
# lacks one. A source this release no longer has (Debian 13 has no SDL 1.2 of its
# own) comes from Debian 12's.
depot_sources() {
  local fichier=/etc/apt/sources.list.d/gavremo-$1-src.sources m
  [ ! -e "$fichier" ] || return 0
  m=$(miroir)
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' "$m" "$1" \
    /usr/share/keyrings/debian-archive-keyring.gpg | $sudo tee "$fichier" >/dev/null
  $sudo apt-get update -qq || echec "apt-get update failed with $fichier"
}
sources() {
  local dossier=$2 racine=$PWD
  compgen -G "$dossier/$1-[0-9]*/" >/dev/null && return 0
  cache_pret
  mkdir -p "$dossier"
  cd "$dossier"
  if ! apt-get source -qq "$1" >/dev/null 2>&1; then
    . /etc/os-release
    depot_sources "$VERSION_CODENAME"
    if ! apt-get source -qq "$1" >/dev/null 2>&1; then
      [ "$VERSION_CODENAME" != bookworm ] || echec "apt-get source $1 failed"
      depot_sources bookworm
      apt-get source -qq "$1/bookworm" >/dev/null 2>&1 ||
        echec "apt-get source $1 failed, from $VERSION_CODENAME and from bookworm"
    fi
  fi
  cd "$racine"
}

# Runs a long step with its output in a log; on failure shows the log's end and stops.
journal() {
  local log=$1
  shift
  "$@" >>"$log" 2>&1 || { tail -n 30 "$log" >&2; echec "failed: $* (log: $log)"; }
}

# Starts Xvfb on a display it picks itself, exports DISPLAY, and stops it at the end.
# A display picked by looking for lock files could be one a chroot has already taken.
xvfb() {
  local numero
  numero=$(mktemp)
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 800x700x24 3>"$numero" 2>/dev/null &
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
