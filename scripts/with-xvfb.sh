#!/usr/bin/env bash
# Runs a command under a private virtual X server:  with-xvfb.sh COMMAND [ARGS...]
#
# The server chooses a free display number itself and writes it to a pipe
# (-displayfd) only once it accepts connections. So the command never starts
# before the server is ready, and two runs never race for one display number,
# which a number picked from lock files beforehand can do.
#
# -noreset: by default the server resets itself whenever its last client
# disconnects and refuses connections while it does. A program that opens the
# display, closes it and opens it again at once (SDL probing for video, then
# starting it) would then fail now and then with "x11 not available".
set -euo pipefail

SCREEN=${XVFB_SCREEN:-320x200x24}

dir=$(mktemp -d)
server=""
cleanup() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  rm -rf "$dir"
}
trap cleanup EXIT

mkfifo "$dir/display"
Xvfb -displayfd 3 -screen 0 "$SCREEN" -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/server.log" &
server=$!

display=""
if ! read -r -t 30 display <"$dir/display" || [ -z "$display" ]; then
  echo "with-xvfb: the virtual X server did not start" >&2
  cat "$dir/server.log" >&2
  exit 1
fi

status=0
DISPLAY=":$display" "$@" || status=$?
exit "$status"
