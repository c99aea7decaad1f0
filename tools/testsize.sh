#!/usr/bin/env bash
# How big the tests are next to the program, and what they cover.
#
#   bash tools/testsize.sh              line counts and their ratio
#   bash tools/testsize.sh --time       also builds build/ and times the
#                                       test command's ctest run there
#   bash tools/testsize.sh --coverage   also builds build-coverage/ (gcc
#                                       --coverage, Debug), runs the same
#                                       ctest suite there and prints line and
#                                       branch coverage of the program code
#
# Lines are non-blank lines, comments included.
#   Test code:    every *.cpp, *.h, *.c, *.py, *.sh and CMakeLists.txt under
#                 tests/ (RTF inputs and other data files are not code).
#   Program code: the program's own C++ sources and headers (*.cpp, *.h)
#                 outside tests/, bench/, tools/ and the build folders: core/,
#                 platform/, i18n/, windows/, editor/, browser/, alarms/,
#                 app/ and cli/ when it exists. Generated files (moc, rcc)
#                 live in the build folders and are not counted.
# Coverage is measured over the same program files with gcovr, throw and
# unreachable branches left out. The suite is the test command's ctest run
# (tools/test.sh) without the fuzzing that follows it: unit, corpus, install
# and end-to-end tests. Wall times depend on what else the machine runs;
# compare runs made on the same machine at a quiet moment.
#
# Checking that a test still catches the fault it guards: change the program
# file by hand (undo the fix), rebuild only that test's target and run it,
# for example
#   cmake --build build --target test_store && cd build &&
#   QT_QPA_PLATFORM=offscreen ctest -R 'Like\.' --output-on-failure
# then `git checkout -- <file>` and check `git status` shows no program change.
set -euo pipefail
cd "$(dirname "$0")/.."

PROGRAM_DIRS=(core platform i18n windows editor browser alarms app cli)

count() { # non-blank lines of the files given on stdin, NUL-separated
  xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true
}

test_lines=$(find tests -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \
  -o -name '*.py' -o -name '*.sh' -o -name CMakeLists.txt \) -print0 | count)
dirs=()
for d in "${PROGRAM_DIRS[@]}"; do [ -d "$d" ] && dirs+=("$d"); done
program_lines=$(find "${dirs[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | count)

echo "test code:    $test_lines non-blank lines"
echo "program code: $program_lines non-blank lines"
awk -v t="$test_lines" -v p="$program_lines" 'BEGIN { printf "ratio:        %.3f\n", t / p }'

run_ctest() { # folder: the test command's ctest run, timed
  local start end
  start=$(date +%s.%N)
  (cd "$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300) \
    > "$1/testsize-ctest.log" 2>&1 || { tail -40 "$1/testsize-ctest.log"; echo "ctest failed" >&2; exit 1; }
  end=$(date +%s.%N)
  grep -E 'tests passed|tests failed' "$1/testsize-ctest.log" || true
  awk -v s="$start" -v e="$end" -v d="$1" 'BEGIN { printf "ctest wall time in %s: %.0f s\n", d, e - s }'
}

for arg in "$@"; do
  case "$arg" in
    --time)
      bash tools/build.sh > /dev/null
      run_ctest build
      ;;
    --coverage)
      if ! command -v gcovr > /dev/null; then
        if [ "$(id -u)" -ne 0 ]; then echo "gcovr is missing: sudo apt-get install gcovr" >&2; exit 1; fi
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends gcovr
      fi
      cmake -S . -B build-coverage -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_COVERAGE=ON -DQUORVEL_BENCH=OFF > /dev/null
      cmake --build build-coverage -j2 > /dev/null
      find build-coverage -name '*.gcda' -delete
      run_ctest build-coverage
      filter=()
      for d in "${dirs[@]}"; do filter+=(--filter "$PWD/$d/"); done
      # CMake's compiler checks leave coverage notes of their own: not ours.
      gcovr --root . --object-directory build-coverage "${filter[@]}" \
        --exclude-directories '.*/CMakeFiles/[0-9.]+' \
        --exclude-throw-branches --exclude-unreachable-branches -j 2 \
        --print-summary --output build-coverage/coverage.txt > build-coverage/coverage-summary.txt
      grep -E '^(lines|branches):' build-coverage/coverage-summary.txt
      ;;
    *) echo "usage: $0 [--time] [--coverage]" >&2; exit 2 ;;
  esac
done
