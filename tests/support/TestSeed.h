#pragma once
#include <QtGlobal>

#include <string>

// The seed of a test's random choices. The environment variable
// ZC_TEST_SEED sets it, so that a failing run can be replayed; without it
// every run draws a fresh one. Either way it is printed, recorded in the
// test's XML report, and named by replay, for a SCOPED_TRACE:
//   const TestSeed seed;
//   SCOPED_TRACE(seed.replay);
//   QRandomGenerator rng(seed.value);
struct TestSeed
{
    TestSeed();
    quint32 value;
    std::string replay; // "ZC_TEST_SEED=<value> replays this run"
};
