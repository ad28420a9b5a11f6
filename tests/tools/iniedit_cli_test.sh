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

# UTF-8, with its mark or without: read, printed and written as UTF-8.
printf '[a]\nj=\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88\nk=Dana\n' >u8.ini
run get u8.ini a j; expect_ok "get from UTF-8 file" "$(printf '\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88')"
run set u8.ini a k "$(printf 'Zo\xc3\xab \xe3\x83\x86')"; expect_ok "set in UTF-8 file" ""
printf '[a]\nj=\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88\nk=Zo\xc3\xab \xe3\x83\x86\n' >expected-u8.ini
same_bytes "UTF-8 file" u8.ini expected-u8.ini
printf '\xef\xbb\xbfk=v\n' >m8.ini
run set m8.ini "" k "$(printf '\xe3\x83\x86')"; expect_ok "set in marked UTF-8 file" ""
printf '\xef\xbb\xbfk=\xe3\x83\x86\n' >expected-m8.ini
same_bytes "marked UTF-8 file" m8.ini expected-m8.ini

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

# ---- --help: the summary the README shows ----
run --help
checks=$((checks + 1))
[ "$rc" -eq 0 ] && grep -q '^usage: iniedit' out.txt || fail "--help: exit $rc"
for command in list get set add del rows check; do
  checks=$((checks + 1))
  grep -q "^  $command " out.txt || fail "--help does not name $command"
done
readme="$samples/../README.md"
if [ -f "$readme" ]; then
  while IFS= read -r line; do
    [ -z "$line" ] && continue
    checks=$((checks + 1))
    grep -qF -- "$line" "$readme" || fail "README lacks the --help line [$line]"
  done <out.txt
fi

# ---- add and del: the new or removed line only, in the file's own form ----
# edit_case NAME BEFORE(printf) AFTER(printf) ARGUMENTS...
edit_case() {
  local name=$1 before=$2 after=$3
  shift 3
  printf "$before" >edit.ini
  run "$1" edit.ini "${@:2}"
  expect_ok "$name" ""
  printf "$after" >edit-expected.ini
  same_bytes "$name" edit.ini edit-expected.ini
}
edit_case "add at the end of the section's key lines" \
  '[a]\r\nx=1\r\n\r\n; b follows\r\n[b]\r\n' '[a]\r\nx=1\r\nk=v w\r\n\r\n; b follows\r\n[b]\r\n' add a k 'v w'
edit_case "add a new section to a file without a final line end" '[a]\nx=1' '[a]\nx=1\n[new]\nk=v\n' add new k v
edit_case "add before the first section" 'x=1\n[a]\n' 'x=1\nk=\n[a]\n' add '' k ''
edit_case "add to an empty file" '' '[s]\r\nk=v\r\n' add s k v
edit_case "del a middle line" '[a]\r\nx=1\r\nk=v\r\ny=2\r\n' '[a]\r\nx=1\r\ny=2\r\n' del a k
edit_case "del the last line" '[a]\r\nx=1\r\nk=v' '[a]\r\nx=1\r\n' del a k
edit_case "del in the second section of that name" '[a]\nx=1\n[a]\nk=v\n' '[a]\nx=1\n[a]\n' del a k

printf '\xff\xfe[\x00a\x00]\x00\r\x00\n\x00' >u2.ini
run add u2.ini a k "$(printf '\xe2\x82\xac')"
expect_ok "add to a UTF-16 file" ""
printf '\xff\xfe[\x00a\x00]\x00\r\x00\n\x00k\x00=\x00\xac\x20\r\x00\n\x00' >expected-u2.ini
same_bytes "add to a UTF-16 file" u2.ini expected-u2.ini

printf 'a=Gr\\u00FC\n' >p.properties
run add p.properties "" sign "$(printf '\xe2\x82\xac \xc3\xa9')"
expect_ok "add to a properties file" ""
run del p.properties "" a
expect_ok "del from a properties file" ""
printf 'sign=\\u20AC \xe9\n' >expected.properties
same_bytes "properties escapes of add and del" p.properties expected.properties
cp p.properties p.orig
run add p.properties new k v
expect_error "a properties file gets no new section" "no section [new]"
same_bytes "properties file untouched" p.properties p.orig

# Refusals leave the file as it was.
printf '[a]\r\nk=1\r\n' >r.ini
cp r.ini r.orig
refuse() {  # NAME TEXT_IN_STDERR ARGUMENTS...
  local name=$1 text=$2
  shift 2
  run "$@"
  expect_error "$name" "$text"
  same_bytes "$name: file untouched" r.ini r.orig
}
refuse "add a key that is there" "use set" add r.ini a k 2
refuse "add a key holding =" "cannot hold '='" add r.ini a 'x=y' 2
refuse "add a comment for a key" "cannot start with" add r.ini a ';x' 2
refuse "add a section holding ]" "cannot hold ']'" add r.ini 'a]b' x 2
refuse "add a value with a line break" "line break" add r.ini a x "$(printf 'one\ntwo')"
refuse "set a value with a line break" "line break" set r.ini a k "$(printf 'one\r\nk2=two')"
refuse "set with an empty key" "key is empty" set r.ini a '' 2
refuse "get a key with a line break" "key holds a line break" get r.ini a "$(printf 'k\nx')"
refuse "del a section with a line break" "section name holds a line break" del r.ini "$(printf 'a\nb')" k
refuse "del an absent key" 'no key "x"' del r.ini a x
refuse "an empty file name" "file name is empty" get '' a k
refuse "a file name with a line break stays on one line" 'no\nsuch.ini' get "$(printf 'no\nsuch.ini')" a k

# Every command on a missing file: one line, no file made.
for command in "list" "get a k" "set a k v" "add a k v" "del a k" "rows" "check"; do
  set -- $command
  run "$1" gone.ini "${@:2}"
  expect_error "$1 on a missing file" "gone.ini"
  checks=$((checks + 1)); [ -e gone.ini ] && fail "$1 created the missing file"
done
run rows r.ini gone.ITP;  expect_error "rows with a missing type description" "gone.ITP"
run rows r.ini --options gone-options.ini; expect_error "rows with missing options" "gone-options.ini"
run rows;                 checks=$((checks + 1)); [ "$rc" -eq 2 ] || fail "rows without a file: exit $rc"
run rows r.ini --bogus;   checks=$((checks + 1)); [ "$rc" -eq 2 ] || fail "rows with an unknown switch: exit $rc"

# An empty file: empty listings; only add has work to do.
: >e.ini
for command in list rows check; do
  run $command e.ini
  expect_ok "$command on an empty file" ""
done
run get e.ini a k; expect_error "get on an empty file" 'no key "k"'
run del e.ini a k; expect_error "del on an empty file" 'no key "k"'
checks=$((checks + 1)); [ -s e.ini ] && fail "del changed the empty file"

# ---- A text that stops at a NUL byte ----
printf 'a=1\r\nb=\0\r\nc=3\r\n' >zero.ini
cp zero.ini zero.orig
run list zero.ini
checks=$((checks + 1))
[ "$rc" -eq 0 ] && [ "$(cat out.txt)" = "$(printf '0\t\ta\t1\n1\t\tb\t')" ] || fail "list before the NUL: exit $rc [$(cat out.txt)]"
checks=$((checks + 1))
[ "$(wc -l <err.txt)" -eq 1 ] && grep -q "NUL byte at offset 7" err.txt || fail "list: no word of the NUL [$(cat err.txt)]"
for command in "set zero.ini '' a 2" "add zero.ini '' d 4" "del zero.ini '' a"; do
  eval "run $command"
  expect_error "${command%% *} on a file with a NUL" "NUL byte at offset 7"
  same_bytes "${command%% *}: file with a NUL untouched" zero.ini zero.orig
done
for command in get rows check; do
  if [ $command = get ]; then run get zero.ini '' a; else run $command zero.ini; fi
  checks=$((checks + 1))
  grep -q "NUL byte at offset 7" err.txt || fail "$command: no word of the NUL [$(cat err.txt)]"
done
checks=$((checks + 1)); [ "$rc" -eq 1 ] || fail "check of a file with a NUL: exit $rc"
# UTF-16 without its mark reads as 8-bit text that stops after one letter.
printf 'k\0=\0v\0\r\0\n\0' >nomark.ini
cp nomark.ini nomark.orig
run set nomark.ini '' k w
expect_error "set on UTF-16 without its mark" "NUL byte at offset 1"
same_bytes "UTF-16 without its mark untouched" nomark.ini nomark.orig

# ---- A file of 100 MB, and one too large to read ----
awk 'BEGIN { for (i = 0; i < 20000; i++) { if (i % 50 == 0) printf "[S%d]\r\n", i / 50; printf "Key%05d=value of some length %d\r\n", i, i } }' >chunk.ini
for i in $(seq 140); do cat chunk.ini; done >huge.ini
huge_size=$(wc -c <huge.ini)
run get huge.ini S399 Key19999;  expect_ok "get in a 100 MB file" "value of some length 19999"
run set huge.ini S399 Key19999 x; expect_ok "set in a 100 MB file" ""
checks=$((checks + 1)); [ $(( $(wc -c <huge.ini) + 25 )) -eq "$huge_size" ] || fail "set in a 100 MB file: size $(wc -c <huge.ini)"
run check huge.ini
checks=$((checks + 1))
[ "$rc" -eq 1 ] && grep -q "row table is full" out.txt || fail "check of a 100 MB file: exit $rc [$(head -c 300 out.txt)]"
run rows huge.ini
checks=$((checks + 1)); [ "$rc" -eq 0 ] && [ "$(wc -l <out.txt)" -eq 22000 ] || fail "rows of a 100 MB file: exit $rc, $(wc -l <out.txt) rows"
rm -f huge.ini chunk.ini
printf 'k=v\r\n' >toolarge.ini
truncate -s 3G toolarge.ini
for command in "get toolarge.ini '' k" "set toolarge.ini '' k w" "check toolarge.ini"; do
  eval "run $command"
  expect_error "${command%% *} on a 3 GB file" "too large"
done
checks=$((checks + 1)); [ "$(wc -c <toolarge.ini)" -eq 3221225472 ] || fail "the 3 GB file changed"
rm -f toolarge.ini

# ---- rows and check on the samples ----
cp "$samples/settings.ini" "$samples/settings.ITP" "$samples/detect.ini" .
run rows settings.ini
checks=$((checks + 1)); [ "$rc" -eq 0 ] && [ "$(wc -l <out.txt)" -eq 63 ] || fail "rows of the sample: exit $rc, $(wc -l <out.txt) rows"
row() { sed -n "$(($1 + 1))p" out.txt; }
checks=$((checks + 1))
[ "$(row 6)" = "$(printf '6\t5\tTOGGLEINDEX\tToggle\tCheck for updates\tOn\tLook for a new version at start\\nNeeds a network connection')" ] ||
  fail "rows: toggle row [$(row 6)]"
checks=$((checks + 1))
[ "$(row 2)" = "$(printf '2\t-1\tsection\tReadOnly\t\tGeneral\t')" ] || fail "rows: section title [$(row 2)]"
checks=$((checks + 1))
[ "$(row 41)" = "$(printf '41\t35\tSTRING\tText\tAccent:\tblue\t')" ] || fail "rows: unknown keyword [$(row 41)]"
checks=$((checks + 1))
if [ -z "$INIEDIT_RUNNER" ]; then
  [ "$(row 53 | cut -f6)" = "(filled on Windows)" ] || fail "rows: drive row natively [$(row 53)]"
else
  row 53 | cut -f6 | grep -q '^C:' || fail "rows: drive row under Windows [$(row 53)]"
  row 61 | cut -f6 | grep -qx 'Lobby' || fail "rows: SELECTEXEC row under Windows [$(row 61)]"
fi
printf '[Options]\r\nSectionTitles=0\r\n' >options.ini
run rows settings.ini --options options.ini
checks=$((checks + 1)); [ "$(wc -l <out.txt)" -eq 55 ] || fail "rows without section titles: $(wc -l <out.txt) rows"
run rows detect.ini --no-detect
checks=$((checks + 1)); [ "$(cut -f3 out.txt | grep -v section | sort -u)" = "untyped" ] || fail "rows --no-detect: $(cut -f3 out.txt | sort -u)"
run rows detect.ini settings.ITP
checks=$((checks + 1)); [ "$(row 0 | cut -f3)" = "STRING" ] || fail "rows with a given type description [$(row 0)]"

run check settings.ini
checks=$((checks + 1))
[ "$rc" -eq 1 ] && [ "$(cat out.txt)" = 'settings.ini:28: GridLines: an unchanged Save writes "#C0C0C0" in place of "0xC0C0C0"
settings.ini:46: Footer: an unchanged Save writes "Product Ltd.\nAll rights reserved" in place of "Product Ltd.|All rights reserved"
settings.ITP:51: Accent: unknown keyword "SHADE" (keywords are exact and upper case): a STRING row' ] ||
  fail "check of the sample: exit $rc
$(cat out.txt)"
run check detect.ini
checks=$((checks + 1))
[ "$rc" -eq 1 ] && [ "$(cat out.txt)" = 'detect.ini:22: Lower: an unchanged Save writes "#FF8000" in place of "#ff8000"' ] ||
  fail "check of the detection sample: exit $rc [$(cat out.txt)]"
printf '[a]\r\nPort=8080\r\n' >clean.ini
printf '[a]\r\nPort=INTEGER;Port;;1;65535;0\r\n' >clean.ITP
run check clean.ini
expect_ok "check of a clean file" ""
printf '[a]\r\nPort=INTEGER;Port;;65535;1;0\r\nGone=STRING\r\n' >clean.ITP
run check clean.ini
checks=$((checks + 1))
[ "$rc" -eq 1 ] && [ "$(cut -d: -f1,2 out.txt | tr '\n' ' ')" = "clean.ITP:2 clean.ITP:3 " ] ||
  fail "check names the type description's lines: [$(cat out.txt)]"

echo "$checks checks, $failures failures"
[ "$failures" -eq 0 ]
