// Time stamps for the benchmark, compiled in only by the bench build
// (STARTBOARD_BENCH); in the product every mark is an empty inline call.
#pragma once

namespace startboard::bench {

#ifdef STARTBOARD_BENCH
// Appends "<event> <counter> <frequency>" to the file named by the
// environment variable STARTBOARD_BENCH_LOG.
void Mark(const char* event);
#else
inline void Mark(const char* /*event*/) {}
#endif

}  // namespace startboard::bench
