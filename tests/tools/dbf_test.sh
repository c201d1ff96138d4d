#!/bin/bash
# zeko dbf: create, set and dump tables from the shell; bad arguments and bad
# files end with exit 1 and one line on standard error.
set -u
ZEKO="$ZE_TOOLS_DIR/zeko"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

# expect_error DESCRIPTION COMMAND...: exit 1, exactly one line "zeko: ..." on stderr.
expect_error() {
  local what=$1; shift
  "$@" >out 2>err
  local rc=$?
  [ $rc = 1 ] || fail "$what: exit $rc"
  [ "$(wc -l <err)" = 1 ] && grep -q '^zeko: ' err || fail "$what: stderr: $(cat err)"
}

"$ZEKO" dbf create t 3 4 10 || fail "create"
[ "$(stat -c %s t.dbf)" = $((32 * 4 + 33 + 3 * (1 + 4 * 11))) ] || fail "size $(stat -c %s t.dbf)"
"$ZEKO" dbf set t.dbf 0 0 "Key" || fail "set"
"$ZEKO" dbf set t.dbf 0 2 "two words  " || fail "set with trailing blanks"
"$ZEKO" dbf set t.dbf 4 3 "appended" || fail "set past the end"
"$ZEKO" dbf set t.dbf 1 1 "0123456789ABCDEF" || fail "set a long text"
"$ZEKO" dbf dump t.dbf >dump || fail "dump"
printf 'rows=5 fields=4\nKey\t\ttwo words\t\n\t0123456789A\t\t\n\t\t\t\n\t\t\t\n\t\t\tappended\n' >want
cmp -s dump want || fail "dump: $(cat -A dump)"

# Cells with TABs or line ends stay on their line.
"$ZEKO" dbf set t.dbf 2 0 $'a\tb' || fail "set a tab"
[ "$("$ZEKO" dbf dump t.dbf | sed -n 4p)" = $'a\\tb\t\t\t' ] || fail "escaped tab"

expect_error "no subcommand" "$ZEKO" dbf
expect_error "unknown subcommand" "$ZEKO" dbf frobnicate t.dbf
expect_error "dump of a missing file" "$ZEKO" dbf dump missing.dbf
expect_error "dump of a directory" "$ZEKO" dbf dump .
head -c 100 /dev/urandom >junk.dbf
printf '\003\000\000\000\000\000\000\000\377\377' | dd of=junk.dbf conv=notrunc 2>/dev/null
expect_error "dump of a file that is no table" "$ZEKO" dbf dump junk.dbf
expect_error "create with a bad count" "$ZEKO" dbf create u x 4 10
expect_error "create with too many columns" "$ZEKO" dbf create u 1 400 10
expect_error "create in a missing directory" "$ZEKO" dbf create nodir/u 1 1 1
expect_error "set a column that does not exist" "$ZEKO" dbf set t.dbf 0 4 x
expect_error "set a negative row" "$ZEKO" dbf set t.dbf -1 0 x
expect_error "set a row far past the end" "$ZEKO" dbf set t.dbf 99999999 0 x
expect_error "set with a missing argument" "$ZEKO" dbf set t.dbf 0 0
[ "$(stat -c %s t.dbf)" = $((161 + 5 * 45)) ] || fail "failed sets changed the file"

# Growth is limited in bytes: 99999 rows of 64 KB records would be gigabytes.
"$ZEKO" dbf create wide 1 1 65533 || fail "create a wide table"
expect_error "set far past the end of a wide table" "$ZEKO" dbf set wide.dbf 99999 0 x
[ "$(stat -c %s wide.dbf)" = $((65 + 65535)) ] || fail "the wide table grew to $(stat -c %s wide.dbf)"
"$ZEKO" dbf set wide.dbf 10 0 x || fail "a few rows past the end of a wide table"

# A pipe (or device) named as the table is refused, not swapped for NAME.dbf.
mkfifo pipe
expect_error "create over a pipe" "$ZEKO" dbf create pipe 1 1 1
[ ! -e pipe.dbf ] || fail "create wrote pipe.dbf instead"

# A read-only table is reported, not silently left alone. (Root ignores
# file modes, so the command runs without that privilege.)
chmod 444 t.dbf
if command -v setpriv >/dev/null && [ "$(id -u)" = 0 ]; then
  expect_error "set on a read-only file" setpriv --inh-caps=-all --bounding-set=-dac_override,-dac_read_search "$ZEKO" dbf set t.dbf 0 0 x
elif [ "$(id -u)" != 0 ]; then
  expect_error "set on a read-only file" "$ZEKO" dbf set t.dbf 0 0 x
fi
"$ZEKO" dbf dump t.dbf | sed -n 2p | grep -q '^Key' || fail "read-only file changed"

echo "$((fails == 0 ? 1 : 0)) passed, $fails failed"
[ $fails = 0 ]
