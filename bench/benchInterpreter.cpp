#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The same three commands for each interpreter: a variable, an echo of it,
// and a program.
const char *const batchScript = "set GREETING=hello\necho %GREETING%\n/bin/true\n";
const char *const shellScript = "export GREETING=hello\necho $GREETING\n/bin/true\n";

class BatchFile
{
public:
    explicit BatchFile(const char *script = batchScript)
    {
        char folder[] = "/tmp/korvani-bench-XXXXXX";
        if (mkdtemp(folder))
            m_folder = folder;
        m_path = m_folder + "/launch.bat";
        if (FILE *file = std::fopen(m_path.c_str(), "w")) {
            std::fputs(script, file);
            std::fclose(file);
        }
    }
    ~BatchFile()
    {
        std::remove(m_path.c_str());
        rmdir(m_folder.c_str());
    }
    const std::string &path() const { return m_path; }

private:
    std::string m_folder;
    std::string m_path;
};

// Starts a whole process with its output on /dev/null and waits for it; the
// wall-clock time it took, in seconds.
double runProcess(const std::vector<const char *> &arguments)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char *> argv;
    for (const char *argument : arguments)
        argv.push_back(const_cast<char *>(argument));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        waitpid(child, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    return std::chrono::duration<double>(end - start).count();
}

// Starts the interpreter as Korvani does, its output and errors on pipes that
// are read, on a batch file of one program line; the time until it ended.
double runThroughPipes(const std::string &batchPath)
{
    int output[2];
    int error[2];
    if (pipe(output) != 0 || pipe(error) != 0)
        return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, error[1], STDERR_FILENO);
    for (const int handle : {output[0], output[1], error[0], error[1]})
        posix_spawn_file_actions_addclose(&actions, handle);
    char *argv[] = {const_cast<char *>(KORVANI_CMD), const_cast<char *>("/c"), const_cast<char *>(batchPath.c_str()),
                    nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = 0;
    const bool started = posix_spawn(&child, argv[0], &actions, nullptr, argv, environ) == 0;
    close(output[1]);
    close(error[1]);
    if (started)
        waitpid(child, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    // What is left, up to the end of the relay.
    char buffer[4096];
    for (const int handle : {output[0], error[0]}) {
        while (read(handle, buffer, sizeof buffer) > 0) { }
        close(handle);
    }
    posix_spawn_file_actions_destroy(&actions);
    return std::chrono::duration<double>(end - start).count();
}

void BM_KorvaniCmdOneProgramThroughPipes(benchmark::State &state)
{
    const BatchFile batch("@/bin/true\n");
    double total = 0;
    for (auto _ : state)
        total += runThroughPipes(batch.path());
    state.counters["korvani_cmd_us"] = total / double(state.iterations()) * 1e6;
}

void BM_KorvaniCmd(benchmark::State &state)
{
    const BatchFile batch;
    for (auto _ : state)
        runProcess({KORVANI_CMD, "/c", batch.path().c_str()});
}

void BM_Dash(benchmark::State &state)
{
    for (auto _ : state)
        runProcess({"/bin/sh", "-c", shellScript});
}

// Both in turns within one run, so that the ratio is not skewed by a busy
// moment falling on one of them.
void BM_KorvaniCmdAgainstDash(benchmark::State &state)
{
    const BatchFile batch;
    double korvani = 0;
    double dash = 0;
    for (auto _ : state) {
        korvani += runProcess({KORVANI_CMD, "/c", batch.path().c_str()});
        dash += runProcess({"/bin/sh", "-c", shellScript});
    }
    const double runs = double(state.iterations());
    state.counters["korvani_cmd_us"] = korvani / runs * 1e6;
    state.counters["dash_us"] = dash / runs * 1e6;
    state.counters["ratio"] = dash > 0 ? korvani / dash : 0;
}

} // namespace

BENCHMARK(BM_KorvaniCmd)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Dash)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KorvaniCmdAgainstDash)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KorvaniCmdOneProgramThroughPipes)->UseRealTime()->Unit(benchmark::kMicrosecond);
