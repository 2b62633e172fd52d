// Conversion speed and memory.  Google Benchmark measures Parsen on exchange
// files of 1,000, 8,000 and 32,000 points; `--memory` reports the peak memory
// of one conversion per size, each in a fresh process.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/exchange_generator.h"
#include "conversion/ClsParse.h"

namespace {

namespace fs = std::filesystem;

fs::path bench_folder() {
    static fs::path folder = [] {
        fs::path path = fs::temp_directory_path() / ("tolvane-bench-" + std::to_string(getpid()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

std::string exchange_file(int points) {
    fs::path path = bench_folder() / ("taak-" + std::to_string(points) + ".ste");
    if (!fs::exists(path)) {
        std::ofstream out(path, std::ios::binary);
        out << tlv::bench::generate_exchange(points);
    }
    return path.string();
}

// One conversion a round; `extra` also writes the SeeYou CUP and GPX files beside the text file.
void convert(benchmark::State& state, bool extra) {
    int points = static_cast<int>(state.range(0));
    std::string input = exchange_file(points);
    std::string output = (bench_folder() / "uit.txt").string();
    for (auto _ : state) {
        tlv::ClsParse parse;
        if (extra)
            parse.set_extra_outputs(
                {(bench_folder() / "uit.cup").string(), (bench_folder() / "uit.gpx").string()});
        benchmark::DoNotOptimize(parse.Parsen(input, output));
        if (!parse.strFout().empty() || parse.intAantWaypoints() != points ||
            !parse.unwritten_outputs().empty()) {
            state.SkipWithError("conversion reported errors");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(input)));
    state.counters["file_MB"] = static_cast<double>(fs::file_size(input)) / 1e6;
}

void BM_Parsen(benchmark::State& state) { convert(state, false); }
BENCHMARK(BM_Parsen)->Arg(1000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);

void BM_ParsenWithCupAndGpx(benchmark::State& state) { convert(state, true); }
BENCHMARK(BM_ParsenWithCupAndGpx)->Arg(1000)->Arg(8000)->Arg(32000)->Unit(benchmark::kMillisecond);

long peak_kib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// One conversion in a child process: the growth of its peak resident memory.
void report_memory(int points) {
    std::string input = exchange_file(points);
    double file_mb = static_cast<double>(fs::file_size(input)) / 1e6;
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return;
    pid_t child = fork();
    if (child == 0) {
        long before = peak_kib();
        tlv::ClsParse parse;
        parse.Parsen(input, (bench_folder() / "uit-mem.txt").string());
        long growth = peak_kib() - before;
        (void)!write(pipe_fds[1], &growth, sizeof growth);
        _exit(0);
    }
    long growth = -1;
    (void)!read(pipe_fds[0], &growth, sizeof growth);
    waitpid(child, nullptr, 0);
    std::printf("memory %6d points: file %6.2f MB, peak growth %7.2f MB (%.1f x file)\n", points,
                file_mb, growth / 1024.0, growth / 1024.0 / file_mb);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--memory") == 0) {
        for (int points : {1000, 8000, 32000}) report_memory(points);
    } else if (argc > 2 && std::strcmp(argv[1], "--generate") == 0) {
        std::string text = tlv::bench::generate_exchange(std::atoi(argv[2]));
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else {
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    std::error_code ignored;
    fs::remove_all(bench_folder(), ignored);
    return 0;
}
