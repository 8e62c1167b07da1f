#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs each libFuzzer target for a set time: fuzz/run.sh BUILD_DIR SECONDS.
# Seeds come from fuzz/corpus/<target> and fuzz/regressions/<target>, tokens
# from fuzz/<target>.dict where there is one; what the fuzzer learns goes to
# fuzz-out/<target>, a failing input to fuzz-out/.
# Exits non-zero as soon as a target reports a crash, a hang, a leak or
# undefined behaviour; keep that input in fuzz/regressions/<target>/ once it
# is fixed, so that ctest replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-fuzz}
seconds=${2:-60}

# Qt's font caches keep fontconfig patterns until the process ends; the
# suppressions name only those (see tests/lsan.supp).
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export QT_QPA_PLATFORM=offscreen
export QT_LOGGING_RULES="qt.qpa.*=false"

for target in model help_reader command_line photo; do
  mkdir -p "fuzz-out/$target"
  dict=()
  if [ -f "fuzz/$target.dict" ]; then
    dict=(-dict="fuzz/$target.dict")
  fi
  echo "== zarnik_fuzz_$target: $seconds s"
  "$build_dir/fuzz/zarnik_fuzz_$target" "fuzz-out/$target" "fuzz/corpus/$target" "fuzz/regressions/$target" \
    "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="fuzz-out/$target-" 2>&1 | grep -v -E '^(#[0-9]+.*(NEW|REDUCE|pulse)|libpng (error|warning):)' || {
      echo "zarnik_fuzz_$target failed; the input is in fuzz-out/" >&2
      exit 1
    }
done
