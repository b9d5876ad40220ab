// Corvane.Core tests.
#include "support/reliability_random.h"

#include <QStringList>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace cvtest
{
namespace
{
QtMessageHandler previousHandler = nullptr;
QStringList expectedDebug;
QString problems;
QString context;

void handler(QtMsgType type, const QMessageLogContext& logContext, const QString& message)
{
    if (type == QtDebugMsg && !expectedDebug.isEmpty() && expectedDebug.front() == message) {
        expectedDebug.removeFirst();
        return;
    }
    if (type == QtDebugMsg)
        problems += QStringLiteral("unexpected debug message: ") + message + QLatin1Char('\n');
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        problems += message + QLatin1Char('\n');
        // Printed before a fatal message aborts, so every failure can be replayed.
        std::fprintf(stderr, "randomized run: %s\n", qPrintable(context));
    }
    if (previousHandler)
        previousHandler(type, logContext, message);
}
}

RandomRun::RandomRun(std::uint32_t defaultSeed, int defaultSteps)
    : m_seed(std::uint32_t(qEnvironmentVariableIsSet("CV_RANDOM_SEED") ? qEnvironmentVariableIntValue("CV_RANDOM_SEED")
                                                                       : int(defaultSeed)))
    , m_engine(m_seed)
    , m_maxSteps(
          qEnvironmentVariableIsSet("CV_RANDOM_STEPS") ? qEnvironmentVariableIntValue("CV_RANDOM_STEPS") : defaultSteps)
{
}

int RandomRun::argument(int size)
{
    const int roll = below(100);
    if (roll < 4)
        return roll < 2 ? INT_MIN : INT_MAX;
    if (roll < 14)
        return -1 - below(3);
    return roll < 24 ? size + below(3) : below(std::max(1, size));
}

QString RandomRun::where(const QString& operation) const
{
    return QStringLiteral("seed %1 (replay with CV_RANDOM_SEED=%1), step %2, %3")
        .arg(m_seed)
        .arg(m_step)
        .arg(operation);
}

MessageGuard::MessageGuard()
{
    expectedDebug.clear();
    problems.clear();
    previousHandler = qInstallMessageHandler(handler);
}

MessageGuard::~MessageGuard()
{
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}

void MessageGuard::expectDebug(const QString& message)
{
    expectedDebug.append(message);
}

QString MessageGuard::takeProblems()
{
    QString result = problems;
    if (!expectedDebug.isEmpty())
        result
            += QStringLiteral("missing debug message: ") + expectedDebug.join(QLatin1String(" | ")) + QLatin1Char('\n');
    problems.clear();
    expectedDebug.clear();
    return result;
}

void MessageGuard::setContext(const QString& where)
{
    context = where;
}
}
