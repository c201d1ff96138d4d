# zeko geometry: resolved rectangles of option strings, and its failures.
set -u
zeko="$ZE_TOOLS_DIR/zeko"
fails=0

expect() { # expected-output options width height
    local want="$1"; shift
    local got
    got=$("$zeko" geometry "$@" 2>&1)
    local rc=$?
    if [ "$rc" != 0 ] || [ "$got" != "$want" ]; then
        echo "FAIL: geometry $* -> rc $rc \"$got\", want \"$want\""
        fails=$((fails + 1))
    fi
}

expect_failure() { # message-part args...
    local part="$1"; shift
    local out
    out=$("$zeko" geometry "$@" 2>&1 >/dev/null)
    local rc=$?
    if [ "$rc" != 1 ] || [ "$(printf '%s\n' "$out" | wc -l)" != 1 ] || [[ "$out" != *"$part"* ]]; then
        echo "FAIL: geometry $* -> rc $rc \"$out\", want exit 1 with \"$part\""
        fails=$((fails + 1))
    fi
}

expect "x=40 y=10 w=320 h=0" "OK,x=50%,y=10,xs=80%,default" 400 300
expect "x=-50 y=0 w=100 h=0" ",x=0%,xs=100" 400 300
expect "x=0 y=0 w=200 h=0" ",XS = 50 %" 400 300
expect "x=0 y=75 w=200 h=150" "a,x=25%,xs=50%,y=50%,ys=50%" 400 300
expect "x=50 y=0 w=51 h=0" ",x=75%,xs=50%" 101 10
expect "x=0 y=0 w=400 h=30" ",xs=5000,minys=30" 400 300
expect "x=5 y=7 w=0 h=0" "x=1,x=5,y=7,//x=9" 400 300
expect "x=0 y=0 w=0 h=0" "" 400 300
long=$(printf 'q%.0s' $(seq 1 600))
expect "x=2 y=0 w=3 h=0" "t,$long,x=2,xs=3" 400 300

expect_failure "usage" ",x=1" 400
expect_failure "bad parent width" ",x=1" -4 300
expect_failure "bad parent height" ",x=1" 400 tall
expect_failure "longer than 999" "$(printf 'a%.0s' $(seq 1 1200))" 400 300

[ "$fails" = 0 ] && echo "geometry: all cases passed"
exit $((fails > 0))
