// Corvane.Core tests.
#pragma once

#include <QString>

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

    /// Starts the next step; false once the step count is reached.
    bool next() { return ++m_step < m_maxSteps; }
    /// 0 to bound - 1 (0 when bound is 0 or less).
    int below(int bound) { return bound > 0 ? int(m_engine() % std::uint32_t(bound)) : 0; }
    bool chance(int percent) { return below(100) < percent; }
    /// A number around [0, size): mostly in range, sometimes just outside it, rarely INT_MIN or INT_MAX.
    int argument(int size);
    /// Where the current step is, for failure messages: seed, step and operation.
    QString where(const QString& operation) const;
    /// For C-style callbacks that want a generator.
    static unsigned draw(void* run) { return unsigned(static_cast<RandomRun*>(run)->below(0x7fffffff)); }

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
    /// Empty when the step printed only what it announced; otherwise what went wrong.
    QString takeProblems();
    void setContext(const QString& context);
};
}
