#!/usr/bin/env bash
# Runs a program inside a virtual X display of its own, whatever DISPLAY the
# caller has, so window tests neither need nor disturb a real screen.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
