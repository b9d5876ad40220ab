// Corvane.Core tests.
#include <QtQuickTest>

QUICK_TEST_MAIN(corvane)
