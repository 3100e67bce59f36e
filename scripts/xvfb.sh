# Sourced: starts Xvfb on a display it picks itself, exports DISPLAY, and stops it on exit.
# A display picked by looking for lock files could be one a chroot has already taken.
xvfb_numero=$(mktemp)
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 800x700x24 3>"$xvfb_numero" 2>/dev/null &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null' EXIT
# Xvfb writes the number, then a newline, once it takes clients.
for _ in $(seq 400); do [ "$(wc -l <"$xvfb_numero")" -ge 1 ] && break; sleep 0.05; done
export DISPLAY=:$(head -n 1 "$xvfb_numero")
rm -f "$xvfb_numero"
