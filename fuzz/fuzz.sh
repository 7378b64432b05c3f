#!/bin/sh
# Builds the exchange fuzzer with clang into build/fuzz and runs it.
#   fuzz/fuzz.sh smoke         a short fixed run over the seed corpus (part of `make test`)
#   fuzz/fuzz.sh run [SECONDS] a long run, one worker, 600 seconds by default; new inputs are
#                              kept in build/fuzz/corpus, findings written to build/fuzz/
set -e
cd "$(dirname "$0")/.."
build=build/fuzz
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "${JOBS:-2}" --target exchange_fuzzer
fuzzer="$build/exchange_fuzzer"
options="-dict=fuzz/xml.dict -max_len=4096 -artifact_prefix=$build/"
case "${1:-smoke}" in
  smoke)
    # Fixed seed and run count: the same inputs every time. New inputs go to a scratch folder,
    # never into the seed corpus.
    rm -rf "$build/smoke"
    mkdir -p "$build/smoke"
    exec "$fuzzer" $options -seed=1 -runs="${FUZZ_RUNS:-20000}" "$build/smoke" fuzz/corpus ;;
  run)
    mkdir -p "$build/corpus"
    exec "$fuzzer" $options -max_total_time="${2:-600}" -print_final_stats=1 \
      "$build/corpus" fuzz/corpus ;;
  *)
    echo "usage: $0 smoke | run [SECONDS]" >&2
    exit 2 ;;
esac
