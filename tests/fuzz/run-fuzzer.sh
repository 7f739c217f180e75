#!/bin/bash
# Runs the settings store fuzzer for SECONDS from the seed corpus, in a private
# temporary folder that is removed afterwards; further arguments go to libFuzzer.
#   run-fuzzer.sh FUZZER SECONDS [libFuzzer options...]
# The folder is in memory (/dev/shm) where there is one: the inputs that go
# through the settings file write it. Inputs up to 512 bytes: several lines
# beyond the reader's 80-byte limits, and a tail after a 0x1A.
set -eu
fuzzer=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
base=${TMPDIR:-/tmp}
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    base=/dev/shm
fi
work=$(mktemp -d "$base/store_fuzz_run.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/tmp"
# New inputs go to the first corpus folder: a copy, so the seeds stay as they are.
cp "$here"/corpus/* "$work/corpus/"
TMPDIR=$work/tmp "$fuzzer" -max_total_time="$seconds" -timeout=10 -max_len=512 \
    -dict="$here/store.dict" -print_final_stats=1 "$@" "$work/corpus"
