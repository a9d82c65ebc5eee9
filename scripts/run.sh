#!/usr/bin/env bash
# Installs what is missing, builds (reporting on standard error), and starts
# Tessaly on the workspace/ folder.
# With arguments, runs the command-line front end on that workspace instead:
#   scripts/run.sh generate
source "$(dirname "$0")/setup.sh"
tessaly_install_packages >&2
tessaly_build >&2

workspace="$TESSALY_ROOT/workspace"
mkdir -p "$workspace"
if [ $# -gt 0 ]; then
  exec "$TESSALY_ROOT/build/bin/tessaly-cli" --workspace "$workspace" "$@"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Built into build/, but there is no display to show the window on." >&2
  echo "Start it on a desktop, or use the command line: scripts/run.sh list" >&2
  exit 1
fi
exec "$TESSALY_ROOT/build/bin/tessaly" --workspace "$workspace"
