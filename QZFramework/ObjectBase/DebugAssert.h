#pragma once
// Debug-only checks of the models' own rules: reference counts that never go below zero,
// objects that belong to the main thread.
//
//   QZ_DEBUG_ASSERT(remaining >= 0, "a reference released twice");
//   QZ_ASSERT_MAIN_THREAD("the bitmap cache");
//
// A failed check names the rule and aborts at the call that broke it, so the test (or
// the debugger) stops there rather than at a crash later. Release builds (NDEBUG)
// compile the checks out: they cost nothing in the program the user runs. They are not
// error handling: what a caller may legitimately get wrong is reported by a result code
// or an exception.

#include <cassert>

// condition must hold; why says which rule it is (a literal).
#define QZ_DEBUG_ASSERT(condition, why) assert((condition) && why)
// The caller runs on the process's main thread; what names the object that belongs to it.
#define QZ_ASSERT_MAIN_THREAD(what) QZ_DEBUG_ASSERT(::QZ::IsMainThread(), what " belongs to the main thread")

namespace QZ {

// true on the process's initial thread (the one that ran main). Any thread.
bool IsMainThread();

} // namespace QZ
