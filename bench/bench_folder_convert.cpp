// Folder conversion on every core against one core: 200 WAV files of 10 s
// of 16-bit stereo 48 kHz audio (WQE_BENCH_FILES=N for another count),
// written once to a temporary folder, encoded to MODE2 phrase files. Reported
// per run: files per second, seconds of audio per wall-clock second
// (x_realtime) and the process's peak resident memory in MB (peak_rss_mb;
// the files are generated piece by piece, so it is the conversion's own).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#include "convert/FileConvert.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kRate = 48000;
constexpr std::uint32_t kSecondsPerFile = 10;

int fileCount() {
    const char* n = std::getenv("WQE_BENCH_FILES");
    return n ? std::max(1, std::atoi(n)) : 200;
}

void put16(std::ofstream& out, std::uint32_t v) {
    const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
    out.write(b, 2);
}
void put32(std::ofstream& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// One stereo file of two detuned tones with a little noise, its pitch set by
// `index`, written a second at a time.
void writeWav(const fs::path& path, int index) {
    const std::uint32_t frames = kRate * kSecondsPerFile, dataSize = frames * 4;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put32(out, 36 + dataSize);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, 2);
    put32(out, kRate);
    put32(out, kRate * 4);
    put16(out, 4);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataSize);
    std::mt19937 noise(static_cast<unsigned>(index));
    std::uniform_int_distribution<int> small(-300, 300);
    const double f = 220.0 + 3.0 * index;
    std::vector<char> second(kRate * 4);
    for (std::uint32_t s = 0; s < kSecondsPerFile; ++s) {
        for (std::uint32_t k = 0; k < kRate; ++k) {
            const double t = (s * kRate + k) / static_cast<double>(kRate);
            const auto l =
                static_cast<std::int16_t>(9000 * std::sin(2 * M_PI * f * t) + small(noise));
            const auto r =
                static_cast<std::int16_t>(9000 * std::sin(2 * M_PI * f * 1.01 * t) + small(noise));
            char* p = second.data() + 4 * k;
            p[0] = static_cast<char>(l), p[1] = static_cast<char>(l >> 8);
            p[2] = static_cast<char>(r), p[3] = static_cast<char>(r >> 8);
        }
        out.write(second.data(), static_cast<std::streamsize>(second.size()));
    }
}

// The source folder, made once per process and removed at exit.
const fs::path& sourceFolder() {
    static const struct Folder {
        fs::path path;
        Folder() {
            path = fs::temp_directory_path() / ("wqe-bench-folder-" + std::to_string(::getpid()));
            fs::create_directories(path);
            for (int k = 0; k < fileCount(); ++k) {
                char name[32];
                std::snprintf(name, sizeof name, "take%03d.wav", k);
                writeWav(path / name, k);
            }
        }
        ~Folder() {
            std::error_code ec;
            fs::remove_all(path, ec);
        }
    } folder;
    return folder.path;
}

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kB on Linux
}

// Argument: threads (0: one per core).
void BM_FolderEncodeMode2(benchmark::State& state) {
    const fs::path& source = sourceFolder();
    const fs::path target = source.string() + "-out";
    const int jobs = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(target);
        fs::create_directories(target);
        state.ResumeTiming();
        const wqe::ConvertBatch batch = wqe::encodeFolder(source, target, wqe::kpac::Mode::Mode2, 1,
                                                          1000, nullptr, {}, {}, jobs);
        if (batch.succeeded != fileCount()) state.SkipWithError("not every file was converted");
    }
    fs::remove_all(target);
    const double files = static_cast<double>(fileCount()) * static_cast<double>(state.iterations());
    state.counters["files_per_second"] = benchmark::Counter(files, benchmark::Counter::kIsRate);
    state.counters["x_realtime"] =
        benchmark::Counter(files * kSecondsPerFile, benchmark::Counter::kIsRate);
    state.counters["threads_used"] =
        wqe::convertJobCount(jobs, static_cast<std::size_t>(fileCount()));
    state.counters["peak_rss_mb"] = peakRssMb();
}
BENCHMARK(BM_FolderEncodeMode2)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
