// Many threads logging through one logger into one appender: every record
// must arrive exactly once, in each thread's own order.
#include "log/appender.h"
#include "log/logger.h"

#include "stress_size.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = kStressThreads;
constexpr int kRecordsPerThread = kStressRecordsPerThread;

// Counts records per sending thread under the appender's lock and notes any
// record that arrives out of its thread's order (lost or duplicated).
class CountingAppender : public Appender {
public:
    using Appender::Appender;

    const char* className() const override { return "CountingAppender"; }

    int counts[kThreads] = {};
    std::set<std::string> threadNames[kThreads];
    int malformed = 0;
    int outOfOrder = 0;

protected:
    bool appendLocked(const LoggingEvent& event) override {
        int thread = -1, sequence = -1;
        if (std::sscanf(event.message.c_str(), "%d %d", &thread, &sequence) != 2 || thread < 0 || thread >= kThreads) {
            ++malformed;
            return false;
        }
        if (sequence != counts[thread]) ++outOfOrder;
        ++counts[thread];
        threadNames[thread].insert(event.threadName);
        return Appender::appendLocked(event);
    }
};

TEST(LoggerConcurrency, EveryRecordFromEveryThreadArrivesExactlyOnce) {
    CountingAppender appender("count", 900);
    std::string error;
    ASSERT_TRUE(appender.start(error));
    Logger logger("stress", 600, true);
    logger.addAppender(&appender);

    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&logger, t] {
            for (int i = 0; i < kRecordsPerThread; ++i) {
                logger.infoFormat("%d %d", t, i);
                logger.debugFormat("%d %d", t, -1); // rejected by the logger's threshold
            }
        });
    for (std::thread& thread : threads) thread.join();

    EXPECT_EQ(appender.malformed, 0);
    EXPECT_EQ(appender.outOfOrder, 0);
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(appender.counts[t], kRecordsPerThread) << "thread " << t;
        EXPECT_EQ(appender.threadNames[t].size(), 1u) << "thread " << t; // one identifier per thread
    }
}

} // namespace
