#!/usr/bin/env bash
# padsign.exe under Wine against the native padsign and the openssl tool:
#   padsign_win_cli_test.sh WORK_FOLDER PAD_FIXTURE
# Environment: PADSIGN_EXE (the Windows program), PADSIGN_RUNNER (the Wine
# launcher), PADSIGN (the native program). A release of either tool must
# verify with the other and with "openssl dgst -verify". Wine 8 has no
# crypt32 encoder or decoder for PKCS#8 and SEC1 private keys nor an encoder
# of ECDSA signatures, so there keygen and release must fail with one line
# and write nothing; where they work, their results are checked instead.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/cli_test_lib.sh"
work=$1
fixture=$2
: "${PADSIGN_EXE:?}" "${PADSIGN_RUNNER:?}" "${PADSIGN:?}"

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

# padsign.exe: exit code in $rc, stdout in out.txt, stderr in err.txt.
run() {
  "$PADSIGN_RUNNER" "$PADSIGN_EXE" "$@" >out.raw 2>err.raw </dev/null
  rc=$?
  tr -d '\r' <out.raw >out.txt
  tr -d '\r' <err.raw >err.txt
}
expect_ok() {  # DESCRIPTION
  check
  [ $rc -eq 0 ] || fail "$1: exit $rc: $(cat err.txt)"
}
expect_refusal() {  # DESCRIPTION WORD
  check
  if [ $rc -eq 0 ] || [ "$(wc -l <err.txt)" -ne 1 ] || ! grep -qF -- "$2" err.txt; then
    fail "$1: exit $rc, expected one line naming '$2': $(cat err.txt)"
  fi
}
openssl_verifies() {  # PUBLIC_KEY SIG PAD
  openssl dgst -sha256 -verify "$1" -signature "$2" "$3" 2>&1 | grep -qx "Verified OK"
}

head -c 300000 /dev/urandom >setup.exe
"$PADSIGN" keygen linux >/dev/null
"$PADSIGN" release "$fixture" setup.exe linux/private.pem linux_release >/dev/null

# verify: releases of the native tool and of openssl alone.
run verify linux_release/pad.xml linux_release/pad.xml.sig linux/public.pem setup.exe
expect_ok "verify a native release"
sed 's/<Program_Version>/<Program_Version>9/' linux_release/pad.xml >tampered.xml
run verify tampered.xml linux_release/pad.xml.sig linux/public.pem
expect_refusal "verify a changed PAD" "not a valid signature"
openssl ecparam -name prime256v1 -genkey -noout -out hand.pem 2>/dev/null
openssl ec -in hand.pem -pubout -out hand_public.pem 2>/dev/null
openssl dgst -sha256 -sign hand.pem -out hand.sig linux_release/pad.xml
cat linux/public.pem hand_public.pem >ring.pem
run verify linux_release/pad.xml hand.sig ring.pem
expect_ok "verify an openssl signature by the second key of two"
check
grep -q "key 2 of 2" out.txt || fail "verify does not name the second key: $(cat out.txt)"
openssl ecparam -name secp384r1 -genkey -noout -out p384.pem 2>/dev/null
openssl ec -in p384.pem -pubout -out p384_public.pem 2>/dev/null
openssl ec -in hand.pem -pubout -conv_form compressed -out compressed.pem 2>/dev/null
for refusal in "p384_public.pem:P-256" "compressed.pem:uncompressed" "hand.pem:PUBLIC KEY"; do
  run verify linux_release/pad.xml hand.sig "${refusal%%:*}"
  expect_refusal "verify with ${refusal%%:*}" "${refusal#*:}"
done

# keygen, then release with its key; release with the native tool's key.
run keygen windows
if [ $rc -eq 0 ]; then
  check
  openssl ec -in windows/private.pem -pubout 2>/dev/null | cmp -s - windows/public.pem ||
    fail "padsign.exe's public.pem is not what openssl ec -pubout writes for its private.pem"
  run release "$fixture" setup.exe windows/private.pem windows_release
  expect_ok "release with padsign.exe's key"
  check
  openssl_verifies windows/public.pem windows_release/pad.xml.sig windows_release/pad.xml ||
    fail "openssl does not verify padsign.exe's release"
  check
  "$PADSIGN" verify windows_release/pad.xml windows_release/pad.xml.sig windows/public.pem setup.exe >/dev/null ||
    fail "the native padsign does not verify padsign.exe's release"
else
  expect_refusal "keygen where crypt32 cannot encode a private key" "private key"
  check
  [ ! -e windows ] || fail "a failed keygen left windows/ behind"
fi
run release "$fixture" setup.exe linux/private.pem native_key_release
if [ $rc -eq 0 ]; then
  check
  openssl_verifies linux/public.pem native_key_release/pad.xml.sig native_key_release/pad.xml ||
    fail "openssl does not verify padsign.exe's release with the native key"
else
  expect_refusal "release where crypt32 cannot decode a private key" "private.pem"
  check
  [ ! -e native_key_release ] || fail "a failed release left native_key_release/ behind"
fi

run --version
check
grep -qE "^padsign [0-9]+\.[0-9]+\.[0-9]+$" out.txt || fail "--version prints $(cat out.txt)"

finish
