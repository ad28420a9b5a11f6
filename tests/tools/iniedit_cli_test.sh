#!/usr/bin/env bash
# End-to-end test of iniedit:
#   iniedit_cli_test.sh WORK_FOLDER SAMPLES_FOLDER
# Environment: INIEDIT (the program) and optionally INIEDIT_RUNNER (the Wine
# launcher for the Windows build). Files are made in WORK_FOLDER and named
# by relative paths, so the same script serves both trees.
set -u
work=$1
samples=$2
: "${INIEDIT:?}"
INIEDIT_RUNNER=${INIEDIT_RUNNER:-}

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

failures=0
checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs iniedit: exit code in $rc, stdout in out.txt, stderr in err.txt.
run() {
  $INIEDIT_RUNNER "$INIEDIT" "$@" >out.txt 2>err.txt
  rc=$?
}
# expect_ok NAME EXPECTED_STDOUT
expect_ok() {
  checks=$((checks + 1))
  local got
  got=$(cat out.txt)
  [ "$rc" -eq 0 ] || { fail "$1: exit $rc ($(cat err.txt))"; return; }
  [ "$got" = "$2" ] || fail "$1: output [$got], expected [$2]"
}
# expect_error NAME TEXT_IN_STDERR
expect_error() {
  checks=$((checks + 1))
  [ "$rc" -ne 0 ] || { fail "$1: succeeded"; return; }
  [ "$(wc -l <err.txt)" -eq 1 ] || fail "$1: stderr is not one line: $(cat err.txt)"
  grep -qF -- "$2" err.txt || fail "$1: stderr [$(cat err.txt)] does not name [$2]"
  [ -s out.txt ] && fail "$1: printed to stdout"
}
# same_bytes NAME FILE EXPECTED_FILE
same_bytes() {
  checks=$((checks + 1))
  cmp -s "$2" "$3" || fail "$1: $2 differs from $3: $(od -An -c "$2" | head -5)"
}

printf '; settings\r\ntop=1\r\n[Window]\r\nMainWindowWidth=800\r\nWidth=640\r\nno equals here\r\n\r\n[Colors]\r\nBack=#FF8000\r\nName=Ren\xe9\r\nWidth=3' >s.ini
cp s.ini s.orig

# list: one line per key line, tab-separated, UTF-8.
run list s.ini
expect_ok "list" "$(printf '0\t\ttop\t1\n1\tWindow\tMainWindowWidth\t800\n2\tWindow\tWidth\t640\n3\tColors\tBack\t#FF8000\n4\tColors\tName\tRen\xc3\xa9\n5\tColors\tWidth\t3')"

# get: exact key within the section.
run get s.ini Window Width;  expect_ok "get exact key" "640"
run get s.ini Colors Width;  expect_ok "get in later section" "3"
run get s.ini "" top;        expect_ok "get before the first section" "1"
run get s.ini Colors Name;   expect_ok "get latin value as UTF-8" "$(printf 'Ren\xc3\xa9')"
run get s.ini Window Height; expect_error "get absent key" "Height"
run get s.ini Sound Width;   expect_error "get absent section" "Sound"

# set: only the value's characters change.
run set s.ini Window Width 1280
expect_ok "set" ""
printf '; settings\r\ntop=1\r\n[Window]\r\nMainWindowWidth=800\r\nWidth=1280\r\nno equals here\r\n\r\n[Colors]\r\nBack=#FF8000\r\nName=Ren\xe9\r\nWidth=3' >expected.ini
same_bytes "set" s.ini expected.ini
run set s.ini Colors Width "caf$(printf '\xc3\xa9')"
printf '; settings\r\ntop=1\r\n[Window]\r\nMainWindowWidth=800\r\nWidth=1280\r\nno equals here\r\n\r\n[Colors]\r\nBack=#FF8000\r\nName=Ren\xe9\r\nWidth=caf\xe9' >expected.ini
expect_ok "set latin value" ""
same_bytes "set latin value stored as one byte" s.ini expected.ini

# Values with blanks, quotes and nothing at all pass through the command line.
printf '[a]\r\nk=v\r\nj=w\r\n' >q.ini
run set q.ini a k 'two words "quoted"'
expect_ok "set value with blanks and quotes" ""
run set q.ini a j ''
expect_ok "set empty value" ""
printf '[a]\r\nk=two words "quoted"\r\nj=\r\n' >expected-q.ini
same_bytes "blanks, quotes, empty" q.ini expected-q.ini
run get q.ini a k; expect_ok "get value with blanks" 'two words "quoted"'

# Failures leave the file as it was.
cp s.ini before.ini
run set s.ini Colors Back "$(printf '\xe2\x82\xac')"
expect_error "set euro in 8-bit file" "8-bit encoding cannot store"
same_bytes "8-bit file untouched" s.ini before.ini
run set s.ini Window Height 5
expect_error "set absent key" "Height"
same_bytes "absent key: file untouched" s.ini before.ini
run set missing.ini Window Width 5
expect_error "set missing file" "missing.ini"
checks=$((checks + 1)); [ -e missing.ini ] && fail "missing file was created"
mkdir folder.ini
run list folder.ini
expect_error "list a folder" "folder.ini"
run bogus s.ini
checks=$((checks + 1)); [ "$rc" -ne 0 ] || fail "unknown command accepted"

# A save whose writing stops part-way (file size limit) fails and leaves
# the file as it was, with no temporary file beside it.
mkdir limit
{ printf '[a]\r\n'; for i in $(seq 8000); do printf 'k%d=%s\r\n' "$i" vvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvvv; done; } >limit/big.ini
cp limit/big.ini big.orig
run get limit/big.ini a k1   # starts Wine, if used, before the limit applies
(trap '' XFSZ; ulimit -f 100 && $INIEDIT_RUNNER "$INIEDIT" set limit/big.ini a k1 x >out.txt 2>err.txt)
rc=$?
expect_error "save stopping part-way" "cannot write"
same_bytes "part-way save: file untouched" limit/big.ini big.orig
checks=$((checks + 1)); [ "$(ls limit)" = "big.ini" ] || fail "part-way save left: $(ls limit)"
run set limit/big.ini a k1 x
expect_ok "the same save without the limit" ""

# UTF-16LE file: keeps its mark, stores any character.
printf '\xff\xfe[\x00a\x00]\x00\r\x00\n\x00k\x00=\x00v\x00\r\x00\n\x00' >u.ini
run set u.ini a k "$(printf '\xe2\x82\xac')"
expect_ok "set euro in UTF-16 file" ""
printf '\xff\xfe[\x00a\x00]\x00\r\x00\n\x00k\x00=\x00\xac\x20\r\x00\n\x00' >expected-u.ini
same_bytes "UTF-16 file" u.ini expected-u.ini
run get u.ini a k; expect_ok "get from UTF-16 file" "$(printf '\xe2\x82\xac')"

# Properties mode by file name, in any case.
printf 'greeting=Gr\\u00FC\\u00DFe\nsign=x\n' >m.PROPERTIES
run list m.PROPERTIES
expect_ok "list properties" "$(printf '0\t\tgreeting\tGr\xc3\xbc\xc3\x9fe\n1\t\tsign\tx')"
run set m.PROPERTIES "" sign "$(printf '\xe2\x82\xac')"
expect_ok "set euro in properties file" ""
printf 'greeting=Gr\xfc\xdfe\nsign=\\u20AC\n' >expected.properties
same_bytes "properties escapes" m.PROPERTIES expected.properties

# The sample settings file lists every key line.
cp "$samples/settings.ini" sample.ini
run list sample.ini
checks=$((checks + 1))
[ "$rc" -eq 0 ] && [ "$(wc -l <out.txt)" -ge 25 ] || fail "sample list: exit $rc, $(wc -l <out.txt) lines"
run set sample.ini Colors Highlight '#00FF00'
same_bytes "sample changes one value" sample.ini <(sed 's/^Highlight=#FF8000/Highlight=#00FF00/' "$samples/settings.ini")

echo "$checks checks, $failures failures"
[ "$failures" -eq 0 ]
