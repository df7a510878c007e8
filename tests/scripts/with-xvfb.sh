#!/usr/bin/env bash
# with-xvfb.sh [--screen WxHxD] COMMAND ARGS...: runs the command under a private X server (1280x1024x24 by
# default). The server picks a free display itself (-displayfd), so tests started in parallel never race for
# one, as `xvfb-run -a` does. Exits 77 (skipped) where Xvfb is missing; otherwise with the command's status.
set -euo pipefail
screen=1280x1024x24
if [ "${1:-}" = --screen ]; then
  screen=$2
  shift 2
fi
command -v Xvfb >/dev/null 2>&1 || exit 77
dir=$(mktemp -d /tmp/ovrel-xvfb-XXXXXX)
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$dir"' EXIT
for _ in $(seq 200); do
  [ -s "$dir/display" ] && break
  if ! kill -0 "$server" 2>/dev/null; then
    cat "$dir/log" >&2
    exit 1
  fi
  sleep 0.05
done
if [ ! -s "$dir/display" ]; then
  echo "with-xvfb: the X server did not start" >&2
  exit 1
fi
DISPLAY=:$(head -n 1 "$dir/display") "$@"
