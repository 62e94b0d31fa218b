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

// The same work for each interpreter, written the way each is written.
struct Scripts
{
    std::string batch;
    std::string shell;
};

// A launch script: a variable, an echo of it, and a program.
Scripts launchScripts()
{
    return {"set GREETING=hello\necho %GREETING%\n/bin/true\n", "export GREETING=hello\necho $GREETING\n/bin/true\n"};
}

// A long pre script: 10,000 lines that set variables and echo them. Echo is
// off, as in most batch files, so that both print the same.
Scripts longScripts()
{
    Scripts scripts{"@echo off\n", std::string()};
    for (int i = 0; i < 5000; ++i) {
        const std::string name = "V" + std::to_string(i % 10);
        const std::string value = "line" + std::to_string(i);
        scripts.batch += "set " + name + '=' + value + "\necho %" + name + "%\n";
        scripts.shell += "export " + name + '=' + value + "\necho $" + name + '\n';
    }
    return scripts;
}

// A launch script of one program line.
Scripts oneProgramScripts()
{
    return {"@/bin/true\n", "/bin/true\n"};
}

// A counting loop of 10,000 turns.
Scripts loopScripts()
{
    return {"@echo off\nset /a total=0\nfor /l %%i in (1,1,10000) do set /a total+=%%i\necho %total%\n",
            "total=0\ni=1\nwhile [ $i -le 10000 ]; do total=$((total+i)); i=$((i+1)); done\necho $total\n"};
}

class ScriptFiles
{
public:
    explicit ScriptFiles(const Scripts &scripts)
    {
        char folder[] = "/tmp/korvani-bench-XXXXXX";
        if (mkdtemp(folder))
            m_folder = folder;
        m_batch = write("launch.bat", scripts.batch);
        m_shell = write("launch.sh", scripts.shell);
    }
    ~ScriptFiles()
    {
        std::remove(m_batch.c_str());
        std::remove(m_shell.c_str());
        rmdir(m_folder.c_str());
    }
    const std::string &batch() const { return m_batch; }
    const std::string &shell() const { return m_shell; }

private:
    std::string write(const char *name, const std::string &text) const
    {
        const std::string path = m_folder + '/' + name;
        if (FILE *file = std::fopen(path.c_str(), "w")) {
            std::fputs(text.c_str(), file);
            std::fclose(file);
        }
        return path;
    }

    std::string m_folder;
    std::string m_batch;
    std::string m_shell;
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
// are read; the time until it ended.
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

void BM_KorvaniCmdThroughPipes(benchmark::State &state, Scripts (*scripts)())
{
    const ScriptFiles files(scripts());
    double total = 0;
    for (auto _ : state)
        total += runThroughPipes(files.batch());
    state.counters["korvani_cmd_us"] = total / double(state.iterations()) * 1e6;
}

void BM_KorvaniCmd(benchmark::State &state, Scripts (*scripts)())
{
    const ScriptFiles files(scripts());
    for (auto _ : state)
        runProcess({KORVANI_CMD, "/c", files.batch().c_str()});
}

void BM_Dash(benchmark::State &state, Scripts (*scripts)())
{
    const ScriptFiles files(scripts());
    for (auto _ : state)
        runProcess({"/bin/dash", files.shell().c_str()});
}

// Both in turns within one run, so that the ratio is not skewed by a busy
// moment falling on one of them.
void BM_KorvaniCmdAgainstDash(benchmark::State &state, Scripts (*scripts)())
{
    const ScriptFiles files(scripts());
    double korvani = 0;
    double dash = 0;
    for (auto _ : state) {
        korvani += runProcess({KORVANI_CMD, "/c", files.batch().c_str()});
        dash += runProcess({"/bin/dash", files.shell().c_str()});
    }
    const double runs = double(state.iterations());
    state.counters["korvani_cmd_us"] = korvani / runs * 1e6;
    state.counters["dash_us"] = dash / runs * 1e6;
    state.counters["ratio"] = dash > 0 ? korvani / dash : 0;
}

} // namespace

BENCHMARK_CAPTURE(BM_KorvaniCmd, launch, launchScripts)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Dash, launch, launchScripts)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_KorvaniCmdAgainstDash, launch, launchScripts)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_KorvaniCmdAgainstDash, lines10000, longScripts)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_KorvaniCmdAgainstDash, loop10000, loopScripts)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_KorvaniCmdThroughPipes, oneProgram, oneProgramScripts)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);
