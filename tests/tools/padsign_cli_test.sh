#!/usr/bin/env bash
# End-to-end test of the signing tool:
#   padsign_cli_test.sh WORK_FOLDER PAD_FIXTURE_FOLDER
# Environment: PADSIGN (the program). Every real PAD fixture is released and
# verified, and each result is checked with the openssl and sha256sum
# command-line tools and with padsign_release_check.py.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/cli_test_lib.sh"
work=$1
fixtures=$2
: "${PADSIGN:?}"

# Fixtures the updater could not use, with the reason padsign gives.
declare -A refused_fixtures=(
  [ccodere__pascal-adlib.xml]="Program_Version"           # <Program_Version />
  [diwa-aalto__diwacs.xml]="Application_XML_File_URL"     # <Application_XML_File_URL />
  [dukus__digiCamControl.xml]="Application_XML_File_URL"  # <Application_XML_File_URL />
  [kawah24__mpGrab.xml]="Application_XML_File_URL"        # none at all, and no File_Info
)

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

# padsign: exit code in $rc, stdout in out.txt, stderr in err.txt.
run() {
  "$PADSIGN" "$@" >out.txt 2>err.txt </dev/null
  rc=$?
}
one_line_error() {  # DESCRIPTION [WORD the message must name]
  if [ $rc -eq 0 ]; then
    fail "$1: succeeded"
  elif [ "$(wc -l <err.txt)" -ne 1 ]; then
    fail "$1: message is not one line: $(cat err.txt)"
  elif [ -n "${2:-}" ] && ! grep -qF -- "$2" err.txt; then
    fail "$1: message does not name '$2': $(cat err.txt)"
  else
    return 0
  fi
  return 1
}
# A refused release: one line, and the output folder neither created nor filled.
refused_release() {  # DESCRIPTION WORD PAD INSTALLER KEY
  local what=$1 word=$2
  shift 2
  check
  run release "$@" new_out
  one_line_error "$what" "$word" && [ -e new_out ] && fail "$what: new_out was created"
  check
  run release "$@" empty_out
  one_line_error "$what (existing folder)" "$word" && [ -n "$(ls -A empty_out)" ] &&
    fail "$what: files left in empty_out: $(ls -A empty_out)"
  rm -rf new_out empty_out/* empty_out/.[!.]*
}
verified_ok() {  # DESCRIPTION then verify's arguments
  local what=$1
  shift
  check
  run verify "$@"
  [ $rc -eq 0 ] || fail "$what: $(cat err.txt)"
}
refused_verify() {  # DESCRIPTION WORD then verify's arguments
  local what=$1 word=$2
  shift 2
  check
  run verify "$@"
  one_line_error "$what" "$word"
}
openssl_verifies() {  # PUBLIC_KEY SIG PAD
  openssl dgst -sha256 -verify "$1" -signature "$2" "$3" 2>&1 | grep -qx "Verified OK"
}
mode_of() { stat -c %a "$1"; }

mkdir empty_out
python3 - <<'PY'
import random
r = random.Random(15)
open("setup.exe", "wb").write(r.randbytes(1300000))
other = bytearray(open("setup.exe", "rb").read())
other[777777] ^= 1
open("setup_changed.exe", "wb").write(bytes(other))
open("setup_short.exe", "wb").write(bytes(other[:-1]))
PY
installer_size=$(wc -c <setup.exe | tr -d ' ')
installer_sha=$(sha256sum setup.exe | cut -d' ' -f1)

# --- keygen ---------------------------------------------------------------
check
run keygen keys
if [ $rc -ne 0 ]; then
  fail "keygen: $(cat err.txt)"
  finish
  exit 1
fi
check
[ "$(mode_of keys/private.pem)" = 600 ] || fail "private.pem has mode $(mode_of keys/private.pem)"
check
openssl ec -in keys/private.pem -noout -text 2>/dev/null | grep -q "ASN1 OID: prime256v1" ||
  fail "private.pem is not a P-256 key"
check
openssl ec -in keys/private.pem -pubout 2>/dev/null | cmp -s - keys/public.pem ||
  fail "public.pem is not what openssl ec -pubout writes"
sums=$(cat keys/*.pem | sha256sum)
check
run keygen keys
one_line_error "keygen over existing keys" "private.pem" && [ "$(cat keys/*.pem | sha256sum)" != "$sums" ] &&
  fail "keygen changed existing keys"
mkdir half
cp keys/public.pem half/public.pem
check
run keygen half
one_line_error "keygen beside an existing public.pem" "public.pem" && [ -e half/private.pem ] &&
  fail "keygen wrote private.pem beside an existing public.pem"
check
run keygen keys2
[ $rc -eq 0 ] || fail "second keygen: $(cat err.txt)"

# --- release and verify on every real PAD file ------------------------------
for pad in "$fixtures"/*.xml; do
  name=$(basename "$pad")
  out="out_${name%.xml}"
  if [ -n "${refused_fixtures[$name]:-}" ]; then
    refused_release "$name" "${refused_fixtures[$name]}" "$pad" setup.exe keys/private.pem
    continue
  fi
  check
  run release "$pad" setup.exe keys/private.pem "$out"
  [ $rc -eq 0 ] || { fail "release $name: $(cat err.txt)"; continue; }
  check
  [ "$(ls -A "$out" | tr '\n' ' ')" = "pad.xml pad.xml.sig " ] || fail "$name: $out holds $(ls -A "$out")"
  check
  python3 "$here/padsign_release_check.py" "$pad" "$out/pad.xml" "$installer_size" "$installer_sha" \
    >check.txt || fail "$name: $(tr '\n' ';' <check.txt)"
  check
  openssl_verifies keys/public.pem "$out/pad.xml.sig" "$out/pad.xml" || fail "$name: openssl does not verify"
  verified_ok "verify $name" "$out/pad.xml" "$out/pad.xml.sig" keys/public.pem setup.exe
  # Releasing the released PAD again changes nothing but the signature's randomness.
  check
  run release "$out/pad.xml" setup.exe keys/private.pem "${out}_again"
  [ $rc -eq 0 ] && cmp -s "$out/pad.xml" "${out}_again/pad.xml" || fail "$name: a second release differs"
done

# --- what verify refuses ----------------------------------------------------
good=out_floriwan__jogoverein
cp "$good/pad.xml" tampered.xml
sed -i 's/<Program_Version>3.4.2</<Program_Version>3.4.3</' tampered.xml
refused_verify "PAD changed after signing" "not a valid signature" tampered.xml "$good/pad.xml.sig" keys/public.pem
check
run release "$fixtures/floriwan__jogoverein.xml" setup.exe keys2/private.pem out_key2
[ $rc -eq 0 ] || fail "release with the second key: $(cat err.txt)"
refused_verify "signature by another key" "not a valid signature" out_key2/pad.xml out_key2/pad.xml.sig \
  keys/public.pem
refused_verify "installer with one changed byte" "SHA-256" "$good/pad.xml" "$good/pad.xml.sig" keys/public.pem \
  setup_changed.exe
refused_verify "installer one byte short" "File_Size_Bytes" "$good/pad.xml" "$good/pad.xml.sig" keys/public.pem \
  setup_short.exe
refused_verify "missing installer" "nothing.exe" "$good/pad.xml" "$good/pad.xml.sig" keys/public.pem nothing.exe
: >empty.sig
refused_verify "empty signature" "not a valid signature" "$good/pad.xml" empty.sig keys/public.pem
refused_verify "missing signature" "nothing.sig" "$good/pad.xml" nothing.sig keys/public.pem
openssl dgst -sha256 -sign keys/private.pem -out unsigned_digest.sig /dev/null
refused_verify "signature of other bytes" "not a valid signature" "$good/pad.xml" unsigned_digest.sig keys/public.pem

# Key rotation: two keys in one file, either may sign.
cat keys/public.pem keys2/public.pem >ring.pem
verified_ok "second key of two" out_key2/pad.xml out_key2/pad.xml.sig ring.pem setup.exe
check
grep -q "key 2 of 2" out.txt || fail "verify does not name the second key: $(cat out.txt)"
verified_ok "first key of two" "$good/pad.xml" "$good/pad.xml.sig" ring.pem

# The same steps with the openssl tool alone agree with padsign both ways.
openssl ecparam -name prime256v1 -genkey -noout -out hand_private.pem 2>/dev/null
openssl ec -in hand_private.pem -pubout -out hand_public.pem 2>/dev/null
openssl dgst -sha256 -sign hand_private.pem -out hand.sig "$good/pad.xml"
verified_ok "signed with openssl dgst" "$good/pad.xml" hand.sig hand_public.pem setup.exe
check
run release "$fixtures/floriwan__jogoverein.xml" setup.exe hand_private.pem out_hand
[ $rc -eq 0 ] && openssl_verifies hand_public.pem out_hand/pad.xml.sig out_hand/pad.xml ||
  fail "release with an openssl ecparam key: $(cat err.txt)"

# --- bad input: one line naming the problem, nothing written ----------------
fixture="$fixtures/floriwan__jogoverein.xml"
mkdir a_folder
: >empty.exe
truncate -s 2G huge.exe
printf 'just text\n' >not_a_key.pem
openssl ecparam -name secp384r1 -genkey -noout -out p384.pem 2>/dev/null
openssl ec -in p384.pem -pubout -out p384_public.pem 2>/dev/null
openssl genpkey -algorithm ed25519 -out ed25519.pem 2>/dev/null
openssl pkey -in keys/private.pem -aes256 -passout pass:secret -out encrypted.pem 2>/dev/null
openssl ec -in keys/private.pem -pubout -conv_form compressed -out compressed_public.pem 2>/dev/null
python3 - "$fixture" <<'PY'
import sys
pad = open(sys.argv[1], "rb").read()
open("nul.xml", "wb").write(pad.replace(b"<Program_Name>", b"<Program_Name>\0", 1))
open("big.xml", "wb").write(pad + b"<!--" + b" " * (110997 - len(pad)) + b"-->")
start, end = pad.index(b"<File_Info>"), pad.index(b"</File_Info>") + len(b"</File_Info>")
open("no_file_info.xml", "wb").write(pad[:start] + pad[end:])
open("no_version.xml", "wb").write(pad.replace(b"<Program_Version>", b"<Program_Version_Text>", 1))
PY

refused_release "missing PAD" "nothing.xml" nothing.xml setup.exe keys/private.pem
refused_release "PAD is a folder" "a_folder" a_folder setup.exe keys/private.pem
refused_release "PAD with a zero byte" "zero byte" nul.xml setup.exe keys/private.pem
refused_release "PAD beyond the fetch limit" "110997" big.xml setup.exe keys/private.pem
refused_release "PAD without File_Info" "File_Info" no_file_info.xml setup.exe keys/private.pem
refused_release "PAD without Program_Version" "Program_Version" no_version.xml setup.exe keys/private.pem
refused_release "missing installer" "nothing.exe" "$fixture" nothing.exe keys/private.pem
refused_release "empty installer" "empty.exe" "$fixture" empty.exe keys/private.pem
refused_release "installer of 2 GiB" "huge.exe" "$fixture" huge.exe keys/private.pem
refused_release "missing key" "nothing.pem" "$fixture" setup.exe nothing.pem
refused_release "not a key" "not_a_key.pem" "$fixture" setup.exe not_a_key.pem
refused_release "public key as private key" "public.pem" "$fixture" setup.exe keys/public.pem
refused_release "P-384 key" "P-256" "$fixture" setup.exe p384.pem
refused_release "Ed25519 key" "P-256" "$fixture" setup.exe ed25519.pem
refused_release "encrypted key" "encrypted" "$fixture" setup.exe encrypted.pem
printf 'keep' >a_file
check
run release "$fixture" setup.exe keys/private.pem a_file
one_line_error "OUTDIR is a file" "a_file" && [ "$(cat a_file)" != keep ] && fail "OUTDIR file was changed"

refused_verify "P-384 public key" "P-256" "$good/pad.xml" "$good/pad.xml.sig" p384_public.pem
refused_verify "private key as public key" "PUBLIC KEY" "$good/pad.xml" "$good/pad.xml.sig" keys/private.pem
refused_verify "compressed public key" "uncompressed" "$good/pad.xml" "$good/pad.xml.sig" compressed_public.pem
refused_verify "no key at all" "not_a_key.pem" "$good/pad.xml" "$good/pad.xml.sig" not_a_key.pem
cat keys/public.pem p384_public.pem >mixed_ring.pem
refused_verify "a P-384 key among the keys" "block 2" "$good/pad.xml" "$good/pad.xml.sig" mixed_ring.pem

check
run
[ $rc -eq 2 ] && grep -q "usage: padsign" err.txt || fail "no arguments: exit $rc"
check
run --help
[ $rc -eq 0 ] && grep -q "padsign verify PAD SIG PUBLIC_KEY" out.txt || fail "--help: exit $rc"
for args in "keygen" "keygen a b" "release a b c" "verify a b" "verify a b c d e" "sign a b"; do
  check
  # shellcheck disable=SC2086
  run $args
  one_line_error "padsign $args" "${args%% *}"
done

finish
