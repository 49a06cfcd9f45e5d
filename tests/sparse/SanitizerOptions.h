#pragma once

// Include in exactly one file of a program that runs MPI and PETSc. Open MPI
// and PETSc keep allocations past their finalisation, some from components
// already unloaded (their frames unnamed, so no suppression can match them):
// LeakSanitizer would fail every run on them. Address and undefined-behaviour
// checks stay on.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }
#endif
