#!/usr/bin/env bash
# The bash completion as the shell runs it: sourced after bash-completion,
# its function called with the words of a command line.
#   completion_test.sh COMPLETION_SCRIPT BIN_DIR
set -uo pipefail
script=$1
PATH=$(cd "$2" && pwd):$PATH
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f /usr/share/bash-completion/bash_completion ] || fail "bash-completion is not installed"
# shellcheck disable=SC1091
source /usr/share/bash-completion/bash_completion
# shellcheck disable=SC1090
source "$script"
[ "$(complete -p zorvik)" = "complete -F _zorvik zorvik" ] || fail "no completion for zorvik"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
touch plane.bin TANK.BIN notes.txt plane.glb plane.png
mkdir models

# The sorted completions of the line "$@", the cursor after its last word.
complete_line() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="$*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _zorvik zorvik "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
  ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

# Every option the command's help lists, sorted.
help_options() {
  zorvik "$1" --help | grep -o '^ *-[-a-zA-Z,]*' | tr ',' '\n' | grep -o -- '--[a-z-]*' | sort |
    tr '\n' ' '
}

models="TANK.BIN models plane.bin "
checks=(
  "zorvik |TANK.BIN check export import info models plane.bin render texture "
  "zorvik import |TANK.BIN models notes.txt plane.bin plane.glb plane.png "
  "zorvik import plane.glb |TANK.BIN models plane.bin "
  "zorvik import --scale |"
  "zorvik --|-- --help --version "
  "zorvik -- |$models"
  "zorvik info |$models"
  "zorvik info --json |$models"
  "zorvik info -- |$models"
  "zorvik export --format |bin cob glb gltf obj "
  "zorvik export --format g|glb gltf "
  "zorvik export --out-dir |models "
  "zorvik export plane.bin |TANK.BIN models plane.bin plane.glb "
  "zorvik check |$models"
  "zorvik texture |models plane.png "
  "zorvik export --format obj --out-dir models |$models"
  "zorvik render plane.bin |models plane.png "
  "zorvik render --out-dir models plane.bin |$models"
  "zorvik render --size |"
  "zorvik render --palette |0 1 "
  "zorvik render --wi|--wireframe "
  "zorvik info --|$(help_options info)"
  "zorvik export --|$(help_options export)"
  "zorvik render --|$(help_options render)"
  "zorvik import --|$(help_options import)"
)
for check in "${checks[@]}"; do
  line=${check%%|*}
  want=${check#*|}
  # shellcheck disable=SC2086 # the line is split into its words
  read -ra words <<<"$line"
  [[ $line == *" " ]] && words+=("")
  got=$(complete_line "${words[@]}")
  [ "$got" = "$want" ] || fail "'$line': got '$got', want '$want'"
done
# The options come from the help, which lists what the command takes.
[[ $(help_options render) == *--out-dir*--thumbnail* ]] || fail "render's help: $(help_options render)"
echo "completion: ${#checks[@]} lines passed"
