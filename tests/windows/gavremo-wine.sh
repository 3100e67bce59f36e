#!/usr/bin/env bash
# The Windows game $GAVREMO_EXE run under Wine like the Linux one, for the scripts
# that take the game as $GAVREMO (the demo): from the current folder, its output
# on the console with Unix line ends, and its exit status.
set -uo pipefail
SDL_VIDEODRIVER=windib SDL_STDIO_REDIRECT=0 wine "$GAVREMO_EXE" | tr -d '\r'
