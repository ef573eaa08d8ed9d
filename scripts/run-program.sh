#!/usr/bin/env bash
# Installs what is needed, builds, and starts PelagonDiveLog: on the desktop
# when there is one, else inside a virtual X server (Xvfb).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
program="${PELAGON_BUILD_DIR:-$root/build}/bin/PelagonDiveLog"
if ! ls /sys/class/bluetooth/hci* >/dev/null 2>&1 && [ -z "${PELAGON_DEMO:-}" ]; then
  echo "No Bluetooth adapter: demo mode, a simulated dive computer stands in (PELAGON_DEMO=1)."
  export PELAGON_DEMO=1
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$program" "$@"
else
  echo "No display: starting PelagonDiveLog under Xvfb (virtual screen :99)."
  exec xvfb-run -a -s "-screen 0 1600x1000x24" "$program" "$@"
fi
