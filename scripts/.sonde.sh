. scripts/commun.sh
gcc -O2 -o /tmp/sonde3 scripts/.sonde3.c $(pkg-config --cflags --libs sdl) -ldl
gcc -std=gnu11 -O2 -o /tmp/bureau tests/bureau.c $(pkg-config --cflags --libs SDL_image SDL_ttf sdl)
/tmp/bureau tests/bureau.txt | grep -v " 0 of "; echo "bureau rc ${PIPESTATUS[0]}"
dpkg -l libfreetype6 | tail -1 | awk '{print $2,$3}'
export SDL_AUDIODRIVER=dummy
xvfb
echo "== Xvfb"
for rd in unset software opengl opengles2 gpu; do for fa in unset 0 1; do
  (if [ $rd != unset ]; then export SDL_RENDER_DRIVER=$rd; fi; if [ $fa != unset ]; then export SDL_FRAMEBUFFER_ACCELERATION=$fa; fi
   echo "-- RD=$rd FA=$fa: $(/tmp/sonde3 x 2>&1 | tr '\n' ' ')")
done; done
echo "-- probe then FA=0 set after: $(SDL_RENDER_DRIVER=software /tmp/sonde3 p 0 2>&1 | tr '\n' ' ')"
echo "-- probe then FA=1 set after: $(SDL_RENDER_DRIVER=software /tmp/sonde3 p 1 2>&1 | tr '\n' ' ')"
w() {
  d=$(mktemp -d); XDG_RUNTIME_DIR=$d weston --backend=headless --socket=g $1 --log=$d/j 2>/dev/null & wp=$!
  for _ in $(seq 200); do [ -S $d/g ] && break; sleep 0.05; done
  sleep 0.5
  export XDG_RUNTIME_DIR=$d WAYLAND_DISPLAY=g
  if [ -n "$1" ]; then for _ in $(seq 200); do grep -q 'xserver listening' $d/j && break; sleep 0.05; done; export DISPLAY=$(grep -o 'display :[0-9]*' $d/j | grep -o ':[0-9]*'); else unset DISPLAY; fi
}
for x in --xwayland ""; do
 (w "$x"; unset SDL_VIDEODRIVER
  echo "== weston $x DISPLAY=${DISPLAY:-}"; grep -i "renderer\|version" $XDG_RUNTIME_DIR/j | head -3
  for rd in unset software opengl opengles2 gpu; do for fa in unset 0; do
    (if [ $rd != unset ]; then export SDL_RENDER_DRIVER=$rd; fi; if [ $fa != unset ]; then export SDL_FRAMEBUFFER_ACCELERATION=$fa; fi
     echo "-- RD=$rd FA=$fa: $(timeout 30 /tmp/sonde3 x 2>&1 | tr '\n' ' ')")
  done; done
  kill $wp)
done
