# Sourced by the test and fuzz scripts. A sanitizer report, leaks included,
# aborts the process that meets it; the emulator an end-to-end test starts
# inherits this too.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tests/lsan.supp:print_suppressions=0"
# For libFuzzer: a smaller quarantine of freed memory, so that many thousands
# of inputs stay well inside its memory limit.
fuzz_asan_options="$ASAN_OPTIONS:quarantine_size_mb=64"
