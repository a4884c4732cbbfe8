// Runs the benchmarks on a JUCE message thread (the processor's parameter state needs one) and
// ends with the engine's cost over the floor of its own arithmetic.

#include <juce_events/juce_events.h>

#include <benchmark/benchmark.h>

#include <iostream>
#include <map>

namespace
{
    /** The console report, followed by each engine benchmark's time over each floor's with the same settings. */
    class RatioReporter : public benchmark::ConsoleReporter
    {
    public:
        void ReportRuns (const std::vector<Run>& runs) override
        {
            ConsoleReporter::ReportRuns (runs);

            for (const auto& run : runs)
            {
                // CPU time: on a shared machine the wall clock also counts time spent descheduled.
            // With repetitions, the medians; without, the single runs.
                const auto isMedian = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";

                if (isMedian || run.run_type == Run::RT_Iteration)
                    times[run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args)][isMedian] = run.GetAdjustedCPUTime();
            }
        }

        void Finalize() override
        {
            ConsoleReporter::Finalize();

            for (const auto& [name, byKind] : times)
            {
                if (name.rfind ("Engine/", 0) != 0)
                    continue;

                const auto settings = name.substr (name.find ('/'));

                for (const auto& [floorName, floorByKind] : times)
                {
                    const auto slash = floorName.find ('/');

                    if (floorName.rfind ("Floor", 0) != 0 || slash == std::string::npos || floorName.substr (slash) != settings)
                        continue;

                    const auto useMedians = byKind.count (true) != 0 && floorByKind.count (true) != 0;
                    std::cout << name << " / " << floorName << " = " << byKind.at (useMedians) / floorByKind.at (useMedians)
                              << (useMedians ? " (medians of CPU time)" : " (CPU time)") << "\n";
                }
            }
        }

    private:
        std::map<std::string, std::map<bool, double>> times;
    };
}

int main (int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juceInitialiser;
    benchmark::Initialize (&argc, argv);

    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks (&reporter);
    benchmark::Shutdown();
    return 0;
}
