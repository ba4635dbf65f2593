#!/usr/bin/env bash
# The built binary is hardened as Debian builds its packages.
set -uo pipefail
here=$(dirname "$0")
. "$here/lib.sh"
bin=${ZINTREL_BINARY:?}
check_hardening "$bin"
finish
