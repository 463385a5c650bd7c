#include "TestSeed.h"

#include <QRandomGenerator>
#include <QString>
#include <gtest/gtest.h>

#include <iostream>

TestSeed::TestSeed()
{
    bool given = false;
    const quint32 fromEnvironment = qEnvironmentVariable("ZC_TEST_SEED").toUInt(&given);
    value = given ? fromEnvironment : QRandomGenerator::system()->generate();
    replay = "ZC_TEST_SEED=" + std::to_string(value) + " replays this run";
    std::cout << "[   SEED   ] " << replay << std::endl;
    ::testing::Test::RecordProperty("seed", std::to_string(value));
}
