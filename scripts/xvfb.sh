# Sourced: starts Xvfb on a free display, exports DISPLAY, and stops it on exit.
n=50
while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
Xvfb :$n -noreset -nolisten tcp -screen 0 800x700x24 2>/dev/null &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null' EXIT
export DISPLAY=:$n
for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
