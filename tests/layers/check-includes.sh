#!/bin/bash
# Checks every include of a source file in the sources against the layers: a
# subsystem's logic may include itself and the layers below it; its `gui`
# part may include its own logic, what that logic may include, lower gui
# parts and platform's gui part. The video libraries' headers are media's
# alone. Prints each include that breaks the rule and fails if there is one.
set -euo pipefail
src="${1:?usage: check-includes.sh SOURCE_FOLDER}"

# What each layer's logic may use besides itself and platform.
declare -A below=(
  [platform]=""
  [files]=""
  [media]="files"
  [workspace]="files"
  [settings]="workspace files"
  [catalogue]="settings workspace media files"
  [site]="catalogue settings workspace media files"
  [covers]="site catalogue settings workspace media files"
  [demo]="covers site catalogue settings workspace media files"
  [app]="covers site catalogue settings workspace media files"
)
# Layers a folder may use beyond those below its own (none today).
declare -A extra=()
# The one layer that uses the video libraries: it alone includes their
# headers, and the headers of its own that include them.
video_layer=media

layer_of() { # path relative to src -> layer, with /gui for a gui part
  local first="${1%%/*}" rest="${1#*/}"
  case "$rest" in
    gui/*) echo "$first/gui" ;;
    cli/*) echo "$first/cli" ;;
    *) echo "$first" ;;
  esac
}

allowed() { # from-layer to-layer
  local from="$1" to="$2" base="${1%/*}"
  [ "$to" = "$from" ] && return 0
  [ "$to" = platform ] && return 0
  case "$from" in
    */gui)
      [ "$to" = platform/gui ] && return 0
      [ "$to" = "$base" ] && return 0
      local lower
      for lower in ${below[$base]}; do
        [ "$to" = "$lower" ] || [ "$to" = "$lower/gui" ] && return 0
      done
      return 1 ;;
    */cli)
      [ "$to" = "$base" ] && return 0
      local other
      for other in ${extra[$from]:-} ${below[$base]}; do [ "$to" = "$other" ] && return 0; done
      return 1 ;;
  esac
  [ -v "below[$from]" ] || return 1
  local lower
  for lower in ${below[$from]}; do [ "$to" = "$lower" ] && return 0; done
  return 1
}

status=0
cd "$src"
video_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*<lib(av|sw)[a-z]*/'
declare -A uses_video=()
while IFS= read -r header; do uses_video[${header#./}]=1; done < <(grep -rlE "$video_include" --include='*.h' .)
while IFS= read -r line; do
  file="${line%%:*}"
  rest="${line#*:}"
  number="${rest%%:*}"
  target="$(sed -E 's/^#include [<"]([^">]+)[">].*/\1/' <<<"${rest#*:}")"
  # Includes by a bare name stay inside their own folder; those in angle
  # brackets are the system's, unless they name a folder of the sources.
  [[ "$target" == */* ]] || continue
  from="$(layer_of "${file#./}")"
  # The video libraries' headers, and media's own that include them.
  if [[ "${rest#*:}" =~ ^#include\ \<lib(av|sw)[a-z]*/ || -v "uses_video[$target]" ]] &&
    [ "${from%/*}" != "$video_layer" ]; then
    echo "$file:$number: $from may not include \"$target\": the video libraries are $video_layer's alone" >&2
    status=1
    continue
  fi
  [[ "${rest#*:}" == '#include <'* && ! -d "${target%%/*}" ]] && continue
  to="$(layer_of "$target")"
  if [ ! -e "$target" ]; then
    echo "$file:$number: includes \"$target\", which is not in the sources" >&2
    status=1
  elif ! allowed "$from" "$to"; then
    echo "$file:$number: $from may not include \"$target\" ($to)" >&2
    status=1
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' --include='*.cpp' --include='*.h' . |
  sed -E 's/:[[:space:]]*#[[:space:]]*include[[:space:]]*/:#include /')
exit $status
