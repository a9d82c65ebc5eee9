#!/usr/bin/env bash
# Installs what is missing, builds (reporting on standard error), and starts
# Tessaly on the example in demo/, which is made first when demo/ is missing.
#   scripts/run.sh                            the window on demo/workspace
#   scripts/run.sh ARGS...                    the command line on it, e.g. scripts/run.sh generate
#   scripts/run.sh --workspace DIR [ARGS...]  the same on DIR instead (made when missing)
source "$(dirname "$0")/setup.sh"
tessaly_install_packages >&2
tessaly_build >&2

bin="$TESSALY_ROOT/build/bin"
case "${1:-}" in
  --workspace=?*)
    workspace="${1#--workspace=}"
    shift
    ;;
  --workspace)
    if [ -z "${2:-}" ]; then
      echo "usage: scripts/run.sh [--workspace DIR] [ARGS...]" >&2
      exit 2
    fi
    workspace="$2"
    shift 2
    ;;
  *)
    workspace=""
    ;;
esac

if [ -n "$workspace" ]; then
  mkdir -p "$workspace"
else
  demo="$TESSALY_ROOT/demo"
  workspace="$demo/workspace"
  if [ ! -e "$demo" ]; then
    echo "Making the example in demo/ ..." >&2
    "$bin/tessaly-cli" demo "$demo" >&2
  elif [ ! -d "$workspace" ]; then
    echo "demo/ has no workspace/: delete demo/ and run this again to make the example anew." >&2
    exit 1
  fi
  if [ -d "$TESSALY_ROOT/workspace" ]; then
    echo "Your earlier workspace is still in workspace/; open it with:" >&2
    echo "  scripts/run.sh --workspace \"$TESSALY_ROOT/workspace\"" >&2
  fi
fi

if [ $# -gt 0 ]; then
  exec "$bin/tessaly-cli" --workspace "$workspace" "$@"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Built into build/, but there is no display to show the window on." >&2
  echo "Start it on a desktop, or use the command line: scripts/run.sh list" >&2
  exit 1
fi
exec "$bin/tessaly" --workspace "$workspace"
