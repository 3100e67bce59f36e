#!/usr/bin/env bash
# The installer when a mirror is caught mid-sync, on a local archive of one small
# package and no network: one repository's Release gives its Packages a size it does
# not have, so apt-get update fails as it does then ("File has unexpected size ...
# Mirror sync in progress?", status 100). The installer must try the update again,
# then install what the lists it has still offer; stop, naming the package, quoting
# apt and saying to try later, when they do not; and installer.sh wine, with no i386
# lists to fall back on, must say so. apt works on state of its own (APT_CONFIG), and
# dpkg on a root of its own, so nothing of this machine is installed, changed or
# locked, and nothing is left to undo if the test is killed.
set -euo pipefail
projet=$(realpath "$(dirname "$0")/..")
. "$projet/scripts/commun.sh"
# sudo would drop APT_CONFIG and DPKG_ADMINDIR, and reach this machine's apt.
if [ "$(id -u)" -ne 0 ]; then echo "not root: apt cannot be pointed at a state of its own"; exit 77; fi
t=$(mktemp -d)
en_partant "rm -rf '$t'"
mkdir -p "$t"/paquet/DEBIAN "$t"/paquet/usr/share/doc/gavremo-essai "$t"/depot/bon "$t"/depot/perime \
  "$t"/racine/var/lib/dpkg/{info,updates,triggers} "$t"/etat/lists/partial "$t"/cache/archives/partial \
  "$t"/vide "$t"/journal
: >"$t/racine/var/lib/dpkg/status"
cat >"$t/paquet/DEBIAN/control" <<EOF
Package: gavremo-essai
Version: 1.0
Architecture: all
Maintainer: Gavremo developers <gavremo@example.org>
Description: what the installer's test installs
EOF
echo "the installer's test" >"$t/paquet/usr/share/doc/gavremo-essai/lisez-moi"
dpkg-deb --root-owner-group -b "$t/paquet" "$t/depot/bon/gavremo-essai_1.0_all.deb" >/dev/null

# release DIR SURPLUS: the Release of the flat repository DIR, giving its Packages
# SURPLUS bytes more than it has.
release() {
  printf 'Suite: essai\nDate: %s\nSHA256:\n %s %s Packages\n' "$(LC_ALL=C date -u -R)" \
    "$(sha256sum <"$1/Packages" | cut -d' ' -f1)" "$(($(stat -c %s "$1/Packages") + $2))" >"$1/Release"
}
deb=$t/depot/bon/gavremo-essai_1.0_all.deb
{ dpkg-deb -f "$deb"; printf 'Filename: ./%s\nSize: %s\nSHA256: %s\n' "${deb##*/}" "$(stat -c %s "$deb")" \
    "$(sha256sum <"$deb" | cut -d' ' -f1)"; } >"$t/depot/bon/Packages"
release "$t/depot/bon" 0
# The stale one lists a package whose index never arrives.
sed 's/gavremo-essai/gavremo-absent/' "$t/depot/bon/Packages" >"$t/depot/perime/Packages"
release "$t/depot/perime" 100

# The server takes a free port itself and says which.
(cd "$t/depot" && exec /usr/bin/python3 -u -m http.server -b 127.0.0.1 0 >"$t/serveur.txt" 2>"$t/requetes.txt") &
en_partant "kill $! 2>/dev/null"
for _ in $(seq 200); do grep -qs ' port ' "$t/serveur.txt" && break; sleep 0.05; done
port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$t/serveur.txt")
[ -n "$port" ] || { echo "the local archive did not start: $(cat "$t/requetes.txt")"; exit 1; }

cat >"$t/apt.conf" <<EOF
Dir::Etc::SourceList "$t/sources.list";
Dir::Etc::SourceParts "$t/vide";
Dir::Etc::Parts "$t/vide";
Dir::Etc::PreferencesParts "$t/vide";
Dir::State "$t/etat";
Dir::State::status "$t/racine/var/lib/dpkg/status";
Dir::Cache "$t/cache";
Dir::Log "$t/journal";
DPkg::Options { "--root=$t/racine"; "--log=$t/journal/dpkg.log"; };
APT::Sandbox::User "root";
Acquire::Languages "none";
EOF
architectures=$(dpkg --print-foreign-architectures)
export APT_CONFIG=$t/apt.conf DPKG_ADMINDIR=$t/racine/var/lib/dpkg GAVREMO_PAUSES="0 0"
sources() {
  local d
  for d; do echo "deb [trusted=yes] http://127.0.0.1:$port/$d ./"; done >"$t/sources.list"
}
# Each apt-get update asks once for the stale repository's InRelease.
mises_a_jour() { grep -c 'GET /perime/./InRelease ' "$t/requetes.txt" || true; }
installer_seul() { bash -c '. "$1"; shift; installer "$@"' installer.sh "$projet/scripts/commun.sh" "$@" 2>&1; }
echecs=0
rate() { echo "FAILED: $1"; echo "$2"; echecs=1; }
# dit SORTIE PHRASE...: SORTIE says every PHRASE.
dit() {
  local sortie=$1 phrase
  shift
  for phrase; do grep -qF -- "$phrase" <<<"$sortie" || { rate "not said: $phrase" "$sortie"; return 1; }; done
}

# The stale repository beside a good one, as a mirror's security archive beside its main one.
sources bon perime
if ! sortie=$(installer_seul gavremo-essai); then
  rate "the installer stopped on the failed update" "$sortie"
elif ! installe gavremo-essai || [ ! -e "$t/racine/usr/share/doc/gavremo-essai/lisez-moi" ]; then
  rate "gavremo-essai was not installed" "$sortie"
elif [ "$(mises_a_jour)" != 3 ]; then
  rate "the update was tried $(mises_a_jour) times, not 3" "$sortie"
else
  echo "ok: past a failed update, tried 3 times, gavremo-essai installed"
fi
# Nothing missing, no update.
if installe gavremo-essai; then
  avant=$(mises_a_jour)
  sortie=$(installer_seul gavremo-essai) || rate "the installer failed with nothing to install" "$sortie"
  [ "$(mises_a_jour)" = "$avant" ] || rate "an update with nothing to install" "$sortie"
fi

# A package only the stale index lists.
if sortie=$(installer_seul gavremo-absent); then
  rate "the installer went on without gavremo-absent" "$sortie"
elif dit "$sortie" "installer.sh: could not install gavremo-absent:" "E: Unable to locate package gavremo-absent" \
  "E: Failed to fetch http://127.0.0.1:$port/perime/./Packages  File has unexpected size" \
  "Mirror sync in progress?" "try again later"; then
  echo "ok: gavremo-absent refused, named, apt quoted, try again later:"; echo "$sortie"
fi

# Wine, with the stale repository alone and no i386 lists.
sources perime
if sortie=$("$projet/scripts/installer.sh" wine 2>&1); then
  rate "installer.sh wine went on" "$sortie"
elif dit "$sortie" "installer.sh: apt has no lists of i386 packages: Wine's 32-bit packages cannot be installed" \
  "E: Failed to fetch" "Mirror sync in progress?" "try again later"; then
  echo "ok: installer.sh wine stops and says why:"; echo "$sortie"
fi
[ "$(env -u DPKG_ADMINDIR dpkg --print-foreign-architectures)" = "$architectures" ] ||
  rate "this machine's dpkg architectures changed" "$(env -u DPKG_ADMINDIR dpkg --print-foreign-architectures)"
[ $echecs = 0 ]
