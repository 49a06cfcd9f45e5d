#pragma once

// For the sanitizer build, included once by each program that starts MPI (its
// main): Open MPI keeps allocations of its start-up, in its own libraries and
// the components it loads, past the end of the program, and the leak checker
// would fail every run for them (as for a locale that a library loaded with
// them keeps). Stacks are unwound fully, so that those leaks
// are told apart from the program's own and only theirs are ignored.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
// Quietly: standard error belongs to the program's messages.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libmpi.so\nleak:libopen-pal.so\nleak:libopen-rte.so\nleak:libpmix.so\nleak:libhwloc.so\n"
         "leak:libevent\nleak:mca_\nleak:libpetsc\nleak:libp11-kit\n";
}
#endif
