// Corvane.Core tests.
#include "support/reliability_random.h"

#include <QtGlobal>

#include <algorithm>

#include <cstdio>

namespace cvtest
{
namespace
{
int environmentNumber(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

QtMessageHandler previousHandler = nullptr;
QStringList expectedDebug;
QStringList allowedWarnings;
QString problems;
QString context;

void handler(QtMsgType type, const QMessageLogContext& logContext, const QString& message)
{
    if (type == QtDebugMsg && !expectedDebug.isEmpty() && expectedDebug.front() == message) {
        expectedDebug.removeFirst();
        return;
    }
    if (type == QtWarningMsg && allowedWarnings.contains(message))
        return;
    if (type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg) {
        problems += message + QLatin1Char('\n');
        // Printed before a fatal message aborts, so every failure can be replayed.
        std::fprintf(stderr, "randomized run: %s\n", qPrintable(context));
    } else if (type == QtDebugMsg) {
        problems += QStringLiteral("unexpected debug message: ") + message + QLatin1Char('\n');
    }
    if (previousHandler)
        previousHandler(type, logContext, message);
}
}

RandomRun::RandomRun(std::uint32_t defaultSeed, int defaultSteps)
    : m_seed(std::uint32_t(environmentNumber("CV_RANDOM_SEED", int(defaultSeed))))
    , m_engine(m_seed)
    , m_maxSteps(environmentNumber("CV_RANDOM_STEPS", defaultSteps))
{
}

bool RandomRun::next()
{
    if (m_step + 1 >= m_maxSteps)
        return false;
    ++m_step;
    return true;
}

int RandomRun::below(int bound)
{
    if (bound <= 0)
        return 0;
    return int(m_engine() % std::uint32_t(bound));
}

bool RandomRun::chance(int percent)
{
    return below(100) < percent;
}

int RandomRun::argument(int size)
{
    const int roll = below(100);
    if (roll < 2)
        return INT_MIN;
    if (roll < 4)
        return INT_MAX;
    if (roll < 14)
        return -1 - below(3);
    if (roll < 24)
        return size + below(3);
    return below(std::max(1, size));
}

QString RandomRun::where(const QString& operation) const
{
    return QStringLiteral("seed %1 (replay with CV_RANDOM_SEED=%1), step %2, %3").arg(m_seed).arg(m_step).arg(operation);
}

unsigned RandomRun::draw(void* run)
{
    return unsigned(static_cast<RandomRun*>(run)->below(INT_MAX));
}

MessageGuard::MessageGuard()
{
    expectedDebug.clear();
    allowedWarnings.clear();
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

void MessageGuard::allowWarning(const QString& message)
{
    allowedWarnings.append(message);
}

QString MessageGuard::takeProblems()
{
    QString result = problems;
    if (!expectedDebug.isEmpty())
        result += QStringLiteral("missing debug message: ") + expectedDebug.join(QLatin1String(" | ")) + QLatin1Char('\n');
    problems.clear();
    expectedDebug.clear();
    return result;
}

void MessageGuard::setContext(const QString& where)
{
    context = where;
}
}
