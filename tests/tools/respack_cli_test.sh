#!/usr/bin/env bash
# End-to-end test of the packer and the reader:
#   respack_cli_test.sh WORK_FOLDER FIXTURE_FOLDER
# Environment: PACKER (respack program), READER (archive_self_reader, already
# branded after linking), and optionally PACKER_RUNNER / READER_RUNNER (the
# Wine launcher for Windows programs). Everything runs inside WORK_FOLDER with
# relative paths so that the same script serves both trees.
set -u
. "$(cd "$(dirname "$0")" && pwd)/cli_test_lib.sh"
work=$1
fixtures=$2
: "${PACKER:?}" "${READER:?}"
PACKER_RUNNER=${PACKER_RUNNER:-}
READER_RUNNER=${READER_RUNNER:-}

rm -rf "$work"
mkdir -p "$work/data"
cd "$work" || exit 1
cp "$READER" reader.exe
cp "$fixtures/greeting.txt" data/greeting.txt

# The packer: exit code in $rc, stdout in out.txt, stderr in err.txt (CRs dropped).
pack() {
  $PACKER_RUNNER "$PACKER" "$@" >out.raw 2>err.raw
  rc=$?
  tr -d '\r' <out.raw >out.txt
  tr -d '\r' <err.raw >err.txt
}
# A branded copy of the reader: exit code in $rc, its lines in out.txt.
run_reader() {
  local program=$1
  shift
  $READER_RUNNER "./$program" "$@" >out.raw 2>err.raw
  rc=$?
  tr -d '\r' <out.raw >out.txt
}
size_of() { wc -c <"$1" | tr -d ' '; }

python3 - <<'PY'
import random
r = random.Random(1234)
open("data/big.bin", "wb").write(bytes(r.randrange(256) for _ in range(70000)))
open("data/settings.bin", "wb").write(bytes(range(84)))
open("data/text.txt", "wb").write(b"[Options]\r\nTitle=Demo\r\n")
open("data/empty.txt", "wb").write(b"")
PY

write_manifest() {  # FILE KEY then NAME=PATH lines
  local file=$1 key=$2
  shift 2
  {
    echo "[archive]"
    echo "key=$key"
    echo "[entries]"
    for line in "$@"; do echo "$line"; done
  } >"$file"
}

name39=abcdefghijklmnopqrstuvwxyz0123456789ABC
entries=("options.ini=data/text.txt" "settings=data/settings.bin" "big.bin=data\\big.bin"
         "$name39=data/text.txt")

# The copy branded after linking reads its default archive.
check
run_reader reader.exe tollwren greeting.txt got_greeting.txt
[ $rc -eq 0 ] && cmp -s got_greeting.txt data/greeting.txt || fail "default brand: $(cat out.txt)"

# 1. Packer and reader agree under each key form, byte for byte.
for key in marlpane tollwren none hex:00ff10a5; do
  tag=${key//:/_}
  write_manifest "m_$tag.ini" "$key" "${entries[@]}"
  check
  pack append "m_$tag.ini" reader.exe "copy_$tag.exe"
  [ $rc -eq 0 ] || { fail "append with key $key: $(cat err.txt)"; continue; }
  check
  run_reader "copy_$tag.exe" "$key" options.ini got_text settings got_settings big.bin got_big \
    "$name39" got_long
  [ $rc -eq 0 ] || fail "reader with key $key: $(cat out.txt)"
  for pair in text:text.txt settings:settings.bin big:big.bin long:text.txt; do
    check
    cmp -s "got_${pair%%:*}" "data/${pair#*:}" || fail "key $key: entry ${pair%%:*} differs"
  done
  check
  printf 'options.ini\t23\tother\tok\nsettings\t84\tother\tok\nbig.bin\t70000\tother\tok\n%s\t23\tother\tok\n' \
    "$name39" >expected.txt
  pack list --key "$key" "copy_$tag.exe"
  [ $rc -eq 0 ] && cmp -s out.txt expected.txt || fail "list with key $key: $(cat out.txt err.txt)"
  check
  pack extract --key "$key" "copy_$tag.exe" big.bin extracted.bin
  [ $rc -eq 0 ] && cmp -s extracted.bin data/big.bin || fail "extract with key $key: $(cat err.txt)"
  # The other program's key reads nothing.
  check
  run_reader "copy_$tag.exe" "$([ "$key" = marlpane ] && echo tollwren || echo marlpane)" settings got_x
  [ $rc -ne 0 ] && grep -q '^settings 0 0$' out.txt || fail "wrong key read something: $(cat out.txt)"
done

# 2. Re-branding replaces the archive: the file does not grow.
cp copy_marlpane.exe rebrand.exe
first=$(size_of rebrand.exe)
for _ in 1 2 3; do
  pack append m_marlpane.ini rebrand.exe rebrand.exe
done
check
[ "$(size_of rebrand.exe)" = "$first" ] || fail "re-append grew the file: $first -> $(size_of rebrand.exe)"
write_manifest m_small.ini tollwren "settings=data/settings.bin"
pack append m_small.ini rebrand.exe rebrand.exe
check
[ "$(size_of rebrand.exe)" = $((first - 70000 - 23 - 23 - 3 * 54)) ] || fail "smaller brand has size $(size_of rebrand.exe)"
check
run_reader rebrand.exe tollwren settings got_settings big.bin got_big
grep -q '^settings 84 84$' out.txt && grep -q '^big.bin 0 0$' out.txt || fail "re-branded copy reads $(cat out.txt)"

# 3. One flipped content byte: the size is still reported, the read fails.
cp copy_marlpane.exe flipped.exe
python3 - <<'PY'
data = bytearray(open("flipped.exe", "rb").read())
data[-4 - 23 - 54 - 1] ^= 0x01   # last byte of big.bin, the third entry
open("flipped.exe", "wb").write(data)
PY
check
run_reader flipped.exe marlpane big.bin got_big settings got_settings
[ $rc -ne 0 ] && grep -q '^big.bin 70000 0$' out.txt && grep -q '^settings 84 84$' out.txt ||
  fail "flipped byte: $(cat out.txt)"
check
pack list --key marlpane flipped.exe
[ $rc -eq 1 ] && grep -q "^big.bin	70000	other	bad$" out.txt && grep -q "^settings	84	other	ok$" out.txt &&
  [ "$(wc -l <err.txt)" -eq 1 ] || fail "list of flipped copy: $(cat out.txt err.txt)"

# 4. Errors: one line, non-zero exit, no output file, no temporary left over.
echo keep >kept.exe
write_manifest m_long.ini marlpane "${name39}X=data/text.txt"
write_manifest m_dup.ini marlpane "settings=data/settings.bin" "settings=data/text.txt"
write_manifest m_nofile.ini marlpane "settings=data/missing.bin"
write_manifest m_empty.ini marlpane "empty=data/empty.txt"
write_manifest m_badkey.ini hex:123 "settings=data/settings.bin"
printf '[entries]\nsettings=data/settings.bin\n' >m_nokey.ini
expect_error "missing input" err1.exe append m_marlpane.ini missing.exe err1.exe
expect_error "missing manifest" err2.exe append missing.ini reader.exe err2.exe
expect_error "40-character name" kept.exe append m_long.ini reader.exe kept.exe
expect_error "duplicate name" kept.exe append m_dup.ini reader.exe kept.exe
expect_error "missing entry file" kept.exe append m_nofile.ini reader.exe kept.exe
expect_error "empty entry file" kept.exe append m_empty.ini reader.exe kept.exe
expect_error "odd hex key" kept.exe append m_badkey.ini reader.exe kept.exe
expect_error "manifest without key" kept.exe append m_nokey.ini reader.exe kept.exe
expect_error "list without archive" "" list --key marlpane data/big.bin
expect_error "list of missing file" "" list --key marlpane missing.exe
expect_error "extract without archive" kept.exe extract --key none data/text.txt settings kept.exe
expect_error "extract absent entry" kept.exe extract --key marlpane copy_marlpane.exe nothing kept.exe
expect_error "extract wrong key" kept.exe extract --key tollwren copy_marlpane.exe settings kept.exe
expect_error "extract bad checksum" kept.exe extract --key marlpane flipped.exe big.bin kept.exe
expect_error "unknown key" "" list --key blue copy_marlpane.exe
check
[ "$(cat kept.exe)" = keep ] || fail "kept.exe was changed"
check
write_manifest m_short.ini marlpane "settings=data/text.txt"
pack append m_short.ini reader.exe short.exe
[ $rc -eq 0 ] && grep -q "warning: entry 'settings' has 23 bytes; marlpane accepts only 84" err.txt ||
  fail "short settings record: rc $rc, $(cat err.txt)"
check
pack frobnicate
[ $rc -eq 2 ] || fail "unknown command exits $rc"
check
pack --version
[ $rc -eq 0 ] && grep -qE "^respack [0-9]+\.[0-9]+\.[0-9]+$" out.txt || fail "--version prints $(cat out.txt)"

finish
