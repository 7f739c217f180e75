#!/bin/bash
# Runs the settings store fuzzer for SECONDS from the seed corpus, in a private
# temporary folder that is removed afterwards; further arguments go to libFuzzer.
#   run-fuzzer.sh FUZZER SECONDS [libFuzzer options...]
set -eu
fuzzer=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/store_fuzz_run.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/tmp"
# New inputs go to the first corpus folder: a copy, so the seeds stay as they are.
cp "$here"/corpus/* "$work/corpus/"
TMPDIR=$work/tmp "$fuzzer" -max_total_time="$seconds" -timeout=10 -max_len=12000 \
    -dict="$here/store.dict" -print_final_stats=1 "$@" "$work/corpus"
