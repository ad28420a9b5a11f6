#!/bin/sh
# Runs a command while the test web server serves tests/tollwren/fixtures on
# 127.0.0.1. The command finds the server in TOLLWREN_TEST_SERVER
# (host:port), its request log in TOLLWREN_TEST_SERVER_LOG and, in
# TOLLWREN_TEST_SERVER_FILES, a folder it may write files into that the
# server serves before the fixtures (files that must name the server's port).
#   run_with_server.sh COMMAND [ARGS...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
mkdir "$work/files"
python3 "$root/scripts/test_http_server.py" --root "$work/files" --root "$here/fixtures" \
  --port-file "$work/port" --log "$work/requests.jsonl" >/dev/null 2>"$work/server.err" &
server=$!
cleanup() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
i=0
while [ ! -s "$work/port" ]; do
  if ! kill -0 "$server" 2>/dev/null || [ $i -ge 100 ]; then
    echo "run_with_server: the test web server did not start" >&2
    cat "$work/server.err" >&2
    exit 1
  fi
  i=$((i + 1))
  sleep 0.1
done
TOLLWREN_TEST_SERVER="127.0.0.1:$(cat "$work/port")"
TOLLWREN_TEST_SERVER_LOG="$work/requests.jsonl"
TOLLWREN_TEST_SERVER_FILES="$work/files"
export TOLLWREN_TEST_SERVER TOLLWREN_TEST_SERVER_LOG TOLLWREN_TEST_SERVER_FILES
# Requests to 127.0.0.1 must not go through a proxy of the machine.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
export no_proxy="127.0.0.1,localhost" NO_PROXY="127.0.0.1,localhost"
set +e
"$@"
status=$?
set -e
exit $status
