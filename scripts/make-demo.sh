#!/usr/bin/env bash
# Makes a demo disk with a few generated files: a BASIC text stored as BSD, a small
# machine-code program as OBJ and a large file as BRD.
# Usage: make-demo.sh DARVEX_CLI OUT.d88
set -euo pipefail
cli=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A BASIC listing with CR LF line ends (stored with CR only).
cat > "$work/hello.bas" <<'BAS'
10 REM DARVEX DEMO
20 PRINT "HELLO, MZ!"
30 FOR I=1 TO 10
40 PRINT I, I*I
50 NEXT I
60 END
BAS
sed -i 's/$/\r/' "$work/hello.bas"

# Z80 code loaded at 1200h: print "HELLO" through the monitor's character output, then return.
printf '\x21\x0b\x12\x7e\xb7\xc8\xcd\x12\x00\x23\x18\xf7HELLO\x0d\x00' > "$work/hello.bin"

# A large data file: 40000 bytes of a counting pattern.
for ((i = 0; i < 2500; i++)); do printf '%015d\n' "$i"; done > "$work/table.dat"

"$cli" new "$out" --type 0 --force
"$cli" put "$out" "$work/hello.bas" --name "HELLO BASIC" --mode bsd-crlf
"$cli" put "$out" "$work/hello.bin" --name "HELLO" --mode obj --load 1200 --exec 1200
"$cli" put "$out" "$work/table.dat" --name "TABLE" --mode brd
