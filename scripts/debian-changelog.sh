#!/bin/sh
# Writes CHANGELOG.md in the Debian changelog format, which the package carries as its changelog:
# one entry per "## VERSION (YYYY-MM-DD)" heading, with that section's list items as its items.
# Usage: debian-changelog.sh CHANGELOG.md OUTPUT "Name <address>"
set -eu
awk -v who="$3" '
function finish() { if (version != "") printf "\n -- %s  %s\n", who, stamp }
/^## / {
    finish()
    version = $2; day = $3; gsub(/[()]/, "", day)
    cmd = "LC_ALL=C TZ=UTC date -R -d " day; stamp = ""; cmd | getline stamp; close(cmd)
    if (stamp == "") { print "no date in: " $0 > "/dev/stderr"; exit 1 }
    printf "%svantrel (%s) unstable; urgency=medium\n\n", (entries++ ? "\n" : ""), version
    next
}
version == "" || /^$/ { next }
/^- / { sub(/^- /, ""); print "  * " $0; next }
/^  / { sub(/^  /, ""); print "    " $0; next }
{ print "  " $0 }
END { finish(); if (!entries) { print "no version heading" > "/dev/stderr"; exit 1 } }
' "$1" >"$2"
