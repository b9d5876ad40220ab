// Corvane.Core tests.
#pragma once

#include <QString>
#include <QStringList>

#include <climits>
#include <cstdint>
#include <random>

namespace cvtest
{
// Seeded randomness and run bounds for the randomized tests.
//
// CV_RANDOM_SEED replays a run (the seed is printed with every failure); CV_RANDOM_STEPS overrides
// the number of steps. Runs are bounded by steps only, so a seed replays the same run anywhere.
class RandomRun
{
public:
    RandomRun(std::uint32_t defaultSeed, int defaultSteps);

    std::uint32_t seed() const { return m_seed; }
    int step() const { return m_step; }
    /// Starts the next step; false once a bound is reached.
    bool next();

    /// 0 to bound - 1 (0 when bound is 0 or less).
    int below(int bound);
    bool chance(int percent);
    /// A number around [0, size): mostly in range, sometimes just outside it, rarely INT_MIN or INT_MAX.
    int argument(int size);
    /// Where the current step is, for failure messages: seed, step and operation.
    QString where(const QString& operation) const;

    /// For C-style callbacks that want a generator.
    static unsigned draw(void* run);

private:
    std::uint32_t m_seed;
    std::mt19937 m_engine;
    int m_step = -1;
    int m_maxSteps;
};

// Collects the messages that arrive during a randomized run. Designed debug messages that a step
// announces beforehand are swallowed; anything else at warning level or above is remembered (and
// still printed, with the replay hint) so the step that caused it fails.
class MessageGuard
{
public:
    MessageGuard();
    ~MessageGuard();

    void expectDebug(const QString& message);
    /// Swallows every warning with exactly this text for the rest of the run (a platform's
    /// known limitation, not a fault of the code under test).
    void allowWarning(const QString& message);
    /// Empty when the step printed only what it announced; otherwise what went wrong.
    QString takeProblems();
    void setContext(const QString& context);
};
}
