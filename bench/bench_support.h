#pragma once

// What the benchmark programs share: the median of timed runs, the summary line that sets
// a time against its baseline, and the timing of a program run in a process of its own.
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace zqbench {

// A directory of this process below the temporary directory, empty when made and removed
// with everything in it when it goes.
struct ScratchDirectory {
    std::filesystem::path root;

    explicit ScratchDirectory(const std::string& name)
        : root(std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid())))
    {
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root);
    }
    ~ScratchDirectory() { std::filesystem::remove_all(root); }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
};

// The calling thread's CPU time in seconds (user and system): the machine may be shared
// with other work, which would stretch wall time unevenly between the benchmarks.
inline double threadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The middle value (the mean of the two middle ones for an even count); 0 for none.
inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

// "<what>: <ms> ms; <baseline>: <ms> ms; ratio <seconds / baselineSeconds>". Times in
// seconds; nothing is printed while either is missing (a benchmark filtered out or failed).
inline void printRatio(const std::string& what, double seconds, const std::string& baseline, double baselineSeconds)
{
    if (seconds <= 0 || baselineSeconds <= 0)
        return;
    std::printf("%s: %.3f ms; %s: %.3f ms; ratio %.2f\n", what.c_str(), seconds * 1e3, baseline.c_str(),
                baselineSeconds * 1e3, seconds / baselineSeconds);
}

// The loading steps a player's log says its load took (its line "[ZqPAppDelegate] loaded
// ... in S loading steps"); -1 when the log has no such line.
inline int loadingStepsTaken(const std::string& log)
{
    const std::size_t line = log.find("[ZqPAppDelegate] loaded ");
    if (line == std::string::npos)
        return -1;
    const std::string text = log.substr(line, log.find('\n', line) - line);
    const std::size_t in = text.find(" model files in ");
    int steps = -1;
    return in != std::string::npos && std::sscanf(text.c_str() + in, " model files in %d loading steps", &steps) == 1
               ? steps
               : -1;
}

// The least time from a player's start to its menu at 60 frames a second: the loading
// screen takes one step a frame from its tenth on and the menu shows on the frame after
// the last, and no frame comes sooner than 1/60 s after the last.
inline double menuFloorSeconds(int loadingSteps)
{
    return (10.0 + loadingSteps) / 60.0;
}

// One timed run: wall seconds from the program's start to its exit, and its exit code
// (-1 when it could not be started or was killed).
struct ProgramRun {
    double seconds = 0.0;
    int exitStatus = -1;
};

// Starts program in a process of its own, its working directory at directory, with the
// caller's environment followed by extra, its standard output and error into output (a
// pipe's write end) or dropped when output is -1, and arguments after its name. The
// child's pid; -1 when none started.
inline pid_t startProgram(const char* program, const std::filesystem::path& directory,
                          const std::vector<std::string>& extra, int output = -1,
                          std::vector<std::string> arguments = {})
{
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable)
        environment.emplace_back(*variable);
    environment.insert(environment.end(), extra.begin(), extra.end());
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // The child would write out a copy of whatever the parent's streams still buffer.
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(directory.c_str()) != 0)
            _exit(127);
        if (output >= 0) {
            dup2(output, 1);
            dup2(output, 2);
        } else {
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
        }
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    return child;
}

// Runs program to its end as startProgram does, its output dropped, with the headless test
// hooks set: SDL's offscreen and dummy drivers, fixed steps, the exit after the first
// frame, seed 1 and storeDirectory for the saved progress.
inline ProgramRun runProgram(const char* program, const std::filesystem::path& directory,
                             const std::filesystem::path& storeDirectory)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = startProgram(program, directory,
                                     {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "ZQ_FIXED_STEP=1",
                                      "ZQ_EXIT_FRAME=1", "ZQ_SEED=1", "ZQ_DATA_HOME=" + storeDirectory.string()});
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return {};
    ProgramRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace zqbench
