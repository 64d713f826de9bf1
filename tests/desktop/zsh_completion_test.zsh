#!/usr/bin/env zsh
# The zsh completion function with the completion system's helpers replaced
# by stubs that record what it asks for.
#   zsh_completion_test.zsh COMPLETION_DIR BIN_DIR
emulate -L zsh
setopt extendedglob
fpath=($1 $fpath)
PATH=${2:A}:$PATH
typeset -ga asked
_files() { asked+=("files $*") }
_values() { asked+=("values ${(j: :)@[2,-1]}") }
_alternative() { asked+=("alternative ${(j: :)${@%%:*}}") }
_message() { asked+=("message $*") }
compadd() { [[ $1 == -a ]] && asked+=("compadd ${(j: :)${(P)2}}") }
_call_program() { shift; "$@" }
autoload -Uz _zorvik

# What completing the last word of the line asks for.
ask() { asked=(); words=("$@"); CURRENT=$#; PREFIX=$words[-1]; _zorvik; print -r -- ${(j:|:)asked} }

# The long options render's help lists, in its order.
local render_options=$(zorvik render --help | grep -o '^ *-[-a-zA-Z,]*' | grep -o -- '--[a-z-]*' |
  tr '\n' ' ')
render_options=${render_options% }
local -A want=(
  'zorvik '                      'alternative commands models options'
  'zorvik info '                 'files -g *.(#i)bin(-.)'
  'zorvik export '               'files -g *.(#i)(bin|cob|glb|gltf|obj)(-.)'
  'zorvik render '               'files -g *.(#i)(bin|png)(-.)'
  'zorvik -- '                   'files -g *.(#i)bin(-.)'
  'zorvik export --format '      'values cob glb gltf obj bin'
  'zorvik check '                'files -g *.(#i)bin(-.)'
  'zorvik texture '              'files -g *.(#i)(png|mip)(-.)'
  'zorvik render --out-dir '     'files -/'
  'zorvik render --size '        'message value'
  'zorvik info --'               'compadd --help --json --full --palette'
  'zorvik render --'             "compadd $render_options"
)
local line got failed=0
for line in ${(k)want}; do
  local -a w=(${(s: :)line})
  [[ $line == *' ' ]] && w+=('')
  got=$(ask "${w[@]}")
  if [[ $got != $want[$line] ]]; then
    print -u2 "FAIL: '$line': got '$got', want '$want[$line]'"
    failed=1
  fi
done
(( failed )) && exit 1
print "zsh completion: ${#want} lines passed"
