#!/usr/bin/env bash
# run-e2e.sh SCRIPT: runs one whole-program test on its own virtual screen.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$@"
