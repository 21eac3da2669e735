#!/usr/bin/env bash
# Prints why tests were skipped in the last ctest run of BUILD_DIR: ctest itself lists only
# that they were. Usage: skipped-tests.sh BUILD_DIR
log="$1/Testing/Temporary/LastTest.log"
[ -f "$log" ] || exit 0
awk '/^\[ RUN      \] / { name = $4 }
     /: Skipped$/ { getline reason; print "skipped: " name ": " reason }' "$log" | sort -u
