# QVERIFY, QCOMPARE, QFAIL and the QTRY_ family report to QTest's own log,
# which a GoogleTest program never starts: under GoogleTest they print
# nothing and a failing test passes. This check keeps them out of the tests;
# eventually() in tests/support waits for a condition instead.
#   cmake -DTESTS_DIR=<tests folder> -P NoQtTestAssertions.cmake
file(GLOB_RECURSE sources "${TESTS_DIR}/*.cpp" "${TESTS_DIR}/*.h")
set(found "")
foreach(f IN LISTS sources)
  file(STRINGS "${f}" lines REGEX "(^|[^A-Za-z0-9_])Q(TRY_[A-Z0-9_]+|VERIFY2?|COMPARE|FAIL|EXPECT_FAIL)[ \t]*\\(")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    string(APPEND found "\n  ${f}: ${line}")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "QTest assertions do nothing under GoogleTest; use EXPECT_/ASSERT_ and eventually():${found}")
endif()
