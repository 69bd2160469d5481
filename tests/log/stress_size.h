// How hard the concurrency tests push: 8 threads, each logging
// ZOR_LOG_STRESS_RECORDS records (fewer in the sanitized builds, which set it).
#pragma once

#ifndef ZOR_LOG_STRESS_RECORDS
#define ZOR_LOG_STRESS_RECORDS 100000
#endif

inline constexpr int kStressThreads = 8;
inline constexpr int kStressRecordsPerThread = ZOR_LOG_STRESS_RECORDS;
