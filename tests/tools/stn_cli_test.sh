#!/usr/bin/env bash
# End-to-end test of the packer's settings-record commands:
#   stn_cli_test.sh WORK_FOLDER ASSET_FOLDER
# Environment: PACKER (respack program) and optionally PACKER_RUNNER (the
# Wine launcher for the Windows program). Everything runs inside WORK_FOLDER
# with relative paths so that the same script serves both trees.
set -u
. "$(cd "$(dirname "$0")" && pwd)/cli_test_lib.sh"
expected_error_rc=1
work=$1
assets=$2
: "${PACKER:?}"
PACKER_RUNNER=${PACKER_RUNNER:-}

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
cp "$assets/stn.ini" "$assets/stn.bin" .

# The packer: exit code in $rc, stdout in the file $out (raw), stderr in err.txt (CRs dropped).
out=out.txt
pack() {
  $PACKER_RUNNER "$PACKER" "$@" >"$out" 2>err.raw
  rc=$?
  tr -d '\r' <err.raw >err.txt
}
size_of() { wc -c <"$1" | tr -d ' '; }

# 1. The default record is what its source builds, and reads back the same.
check
pack stn stn.ini built.bin
[ $rc -eq 0 ] && [ ! -s err.txt ] || fail "default source: rc $rc, $(cat err.txt)"
check
cmp -s built.bin stn.bin || fail "assets/tollwren/stn.bin is not what stn.ini builds; rebuild it"
check
[ "$(size_of built.bin)" = 10708 ] || fail "record has $(size_of built.bin) bytes"
out=shown.ini
pack stn-show stn.bin
out=out.txt
check
[ $rc -eq 0 ] || fail "stn-show of the default record: rc $rc, $(cat err.txt)"
check
pack stn shown.ini again.bin
[ $rc -eq 0 ] && cmp -s again.bin stn.bin || fail "shown default record builds other bytes: $(cat err.txt)"
check
tr -d '\r' <shown.ini | grep -q '^\[bytes\]' && fail "default record shows raw bytes"

# 2. Round trips: non-ASCII texts in UTF-8 and UTF-16LE sources, and
#    records holding bytes that no key expresses.
python3 - <<'PY'
import random
source = (
    "[updater]\r\ndefault_language=Fran\u00e7ais\r\nuse_system_language=yes\r\n"
    "[languages]\r\nline_end=crlf\r\nlanguage=English\r\nlanguage=Fran\u00e7ais\r\n"
    "language=\u65e5\u672c\u8a9e\r\nlanguage=\r\nlanguage=\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac\r\n"
    "[title]\r\nshow=yes\r\ncolor=#C0FFEE\r\nfont=\u5b8b\u4f53\r\nheight=-18\r\n"
    "[footer]\r\nshow=yes\r\nfont=\U0001F600 Face\r\n")
open("utf8.ini", "wb").write(source.encode("utf-8"))
open("utf16.ini", "wb").write(b"\xff\xfe" + source.encode("utf-16-le"))
r = random.Random(77)
open("random.bin", "wb").write(bytes(r.randrange(256) for _ in range(10708)))
odd = bytearray(10708)
odd[10707] = 2            # a switch that is neither 0 nor 1
odd[10277] = 0x80         # the high byte of a colour
odd[5000] = 0x33          # inside the language list, behind its terminator
odd[0:4] = b"STN1"        # bytes the updater does not use
open("odd.bin", "wb").write(bytes(odd))
open("short.bin", "wb").write(bytes(10707))
PY
check
pack stn utf8.ini utf8.bin
[ $rc -eq 0 ] || fail "UTF-8 source: $(cat err.txt)"
check
pack stn utf16.ini utf16.bin
[ $rc -eq 0 ] && cmp -s utf8.bin utf16.bin || fail "UTF-16LE source builds other bytes: $(cat err.txt)"
for record in utf8 random odd; do
  out=$record.shown.ini
  pack stn-show $record.bin
  out=out.txt
  check
  [ $rc -eq 0 ] || { fail "stn-show $record: $(cat err.txt)"; continue; }
  check
  pack stn $record.shown.ini $record.again.bin
  [ $rc -eq 0 ] && cmp -s $record.bin $record.again.bin || fail "$record record does not round-trip: $(cat err.txt)"
done
check
python3 - <<'PY' || fail "shown texts are not the UTF-8 of the source"
text = open("utf8.shown.ini", "rb").read().decode("utf-8").replace("\r", "")
for line in ["default_language=Fran\u00e7ais", "language=\u65e5\u672c\u8a9e", "line_end=crlf",
             "font=\u5b8b\u4f53", "color=#C0FFEE", "height=-18", "font=\U0001F600 Face"]:
    assert "\n" + line + "\n" in text, line
PY

# A branded copy shows the record it carries.
printf '[archive]\nkey=tollwren\n[entries]\nstn=utf8.bin\n' >brand.ini
printf '[archive]\nkey=marlpane\n[entries]\nstn=utf8.bin\n' >brand_other.ini
printf 'MZ program image' >image.exe
check
pack append brand.ini image.exe branded.exe
[ $rc -eq 0 ] || fail "branding a copy: $(cat err.txt)"
out=branded.shown.ini
pack stn-show branded.exe
out=out.txt
check
[ $rc -eq 0 ] && cmp -s branded.shown.ini utf8.shown.ini || fail "stn-show of a branded copy: rc $rc, $(cat err.txt)"
pack append brand_other.ini image.exe other.exe

# 3. Errors: one line, exit code 1, the output left as it was, no temporary.
echo keep >kept.bin
printf '[title]\ncolor=red\n' >bad_colour.ini
printf '[title]\nshow=yes\ncolour=#000000\n' >unknown_key.ini
printf '[title]\nfont=%s\n' "$(printf 'f%.0s' $(seq 40))" >long_font.ini
printf '[sound]\nvolume=3\n' >unknown_section.ini
expect_error "missing source" missing.bin stn missing.ini missing.bin
expect_error "bad colour" kept.bin stn bad_colour.ini kept.bin
grep -q "bad_colour.ini: line 2: \[title\] color: 'red' is not a colour" err.txt || fail "bad colour says $(cat err.txt)"
expect_error "unknown key" kept.bin stn unknown_key.ini kept.bin
grep -q "line 3: unknown key 'colour' in \[title\]" err.txt || fail "unknown key says $(cat err.txt)"
expect_error "long font face" kept.bin stn long_font.ini kept.bin
expect_error "unknown section" kept.bin stn unknown_section.ini kept.bin
expect_error "record of 10707 bytes" "" stn-show short.bin
grep -q "has 10707 bytes; a stn record has exactly 10708" err.txt || fail "short record says $(cat err.txt)"
expect_error "missing record" "" stn-show missing.bin
expect_error "copy branded with the other key" "" stn-show other.exe
grep -q "no entry 'stn' under tollwren's key" err.txt || fail "other key says $(cat err.txt)"
check
[ "$(cat kept.bin)" = keep ] || fail "kept.bin was changed"
check
[ -e missing.bin ] && fail "missing.bin was created"
check
pack stn stn.ini
[ $rc -eq 2 ] || fail "stn without OUT exits $rc"
check
pack stn-show stn.bin extra
[ $rc -eq 2 ] || fail "stn-show with two arguments exits $rc"

# 4. Warnings do not stop the build.
printf '[updater]\ndefault_language=Klingon\n[languages]\nlanguage=English\n' >warned.ini
check
pack stn warned.ini warned.bin
[ $rc -eq 0 ] && [ -s warned.bin ] && grep -q "warning: warned.ini: the default language 'Klingon' is not in the language list" err.txt ||
  fail "warning case: rc $rc, $(cat err.txt)"

finish
