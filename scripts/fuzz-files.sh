#!/usr/bin/env bash
# Fuzzes the dive file readers only: bash scripts/fuzz-files.sh [seconds]
# (default 300); see scripts/fuzz.sh.
set -euo pipefail
exec bash "$(dirname "$0")/fuzz.sh" "${1:-300}" divefiles
