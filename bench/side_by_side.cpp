// Runs two commands alternately, each with its output thrown away, and prints
// the median wall time of each in microseconds: "OURS THEIRS".  Alternating
// lets both see the same machine; spawning directly adds no shell's time.
//   side_by_side RUNS -- COMMAND... -- COMMAND...
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

long long run_once(std::vector<char*>& command) {
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = 0;
    if (posix_spawnp(&child, command[0], &quiet, nullptr, command.data(), environ) == 0)
        waitpid(child, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&quiet);
    return std::chrono::duration_cast<std::chrono::microseconds>(end - start).count();
}

long long median(std::vector<long long> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> commands[2];
    int which = -1;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0 && which < 1) {
            ++which;
            continue;
        }
        if (which >= 0) commands[which].push_back(argv[i]);
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 0;
    if (runs < 1 || commands[0].empty() || commands[1].empty()) {
        std::fprintf(stderr, "usage: side_by_side RUNS -- COMMAND... -- COMMAND...\n");
        return 2;
    }
    std::vector<long long> times[2];
    for (auto& command : commands) command.push_back(nullptr);
    for (int i = 0; i < runs; ++i)
        for (int c = 0; c < 2; ++c) times[c].push_back(run_once(commands[c]));
    std::printf("%lld %lld\n", median(times[0]), median(times[1]));
    return 0;
}
