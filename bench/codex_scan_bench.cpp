// Measures the Codex session scan on a synthetic corpus of over 200 MB: the first scan and a scan
// with nothing changed, against a plain sequential read of the same files.
//
// Usage: codex_scan_bench [corpus folder]   (generated there on the first run)
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <vector>

#include "codex/codex_scanner.h"
#include "log_corpus.h"
#include "platform/system.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }


}  // namespace

int main(int argc, char** argv) {
    const fs::path root = argc > 1 ? fs::path(argv[1]) : fs::path("build/bench-corpus/codex");
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    const fs::path sessions = root / "sessions";
    if (!fs::exists(root / "corpus-v1")) {
        std::printf("generating the corpus in %s ...\n", root.string().c_str());
        CodexCorpusShape shape;
        shape.now = now;
        const uint64_t bytes = WriteCodexCorpus(sessions, shape);
        std::ofstream(root / "corpus-v1") << bytes;
    }
    std::vector<fs::path> files;
    const auto clockNow = fs::file_time_type::clock::now();
    for (const auto& entry : fs::recursive_directory_iterator(sessions)) {
        if (entry.is_regular_file()) {
            fs::last_write_time(entry.path(), clockNow);  // keep them inside the 8 days
            files.push_back(entry.path());
        }
    }
    PlainRead(files);
    auto started = Clock::now();
    const double megabytes = static_cast<double>(PlainRead(files)) / (1 << 20);
    const double plainSeconds = Seconds(Clock::now() - started);
    std::printf("corpus: %zu files, %.0f MB\n", files.size(), megabytes);
    std::printf("plain sequential read: %.3f s, %.0f MB/s\n", plainSeconds, megabytes / plainSeconds);

    CodexScanner scanner;
    started = Clock::now();
    CodexLimits limits = scanner.Scan(WideFromPath(sessions), now, now);
    const double firstSeconds = Seconds(Clock::now() - started);
    std::printf("first scan: %.3f s, %.0f MB/s, %.2f x the plain read's speed; primary %.0f%%\n",
                firstSeconds, megabytes / firstSeconds, plainSeconds / firstSeconds,
                limits.primary.usedPercent);
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        started = Clock::now();
        limits = scanner.Scan(WideFromPath(sessions), now, now);
        best = std::min(best, Seconds(Clock::now() - started));
    }
    std::printf("scan with nothing changed: %.2f ms (best of 5)\n", best * 1000);
    return 0;
}
