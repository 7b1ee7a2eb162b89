// Linked only into the sanitized test programs (quorvane_*_tests_asan): the
// sanitizers' settings, so that CTest needs no environment for them. A
// setting in ASAN_OPTIONS, UBSAN_OPTIONS or LSAN_OPTIONS still overrides
// these. The leak suppression is the one in scripts/lsan.supp, for the same
// reason (libdbus's process-wide caches, filled by SDL's start-up).

extern "C" const char* __asan_default_options()
{
    return "detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1";
}

extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

// The list of suppressions used would land in the death tests' output.
extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0";
}

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}
