#pragma once

// Runs the real zqplayer on a game folder with the test hooks of its environment, and
// collects what it did: the exit status, its output lines (standard output and error
// together, in order) and its screenshots.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace player_test {

struct PlayerOptions {
    // The game's folder, holding data/ (or data/data.pkg); the working directory.
    std::string directory;
    // The store's directory (ZQ_DATA_HOME); empty: "store" in the game's folder.
    std::string dataHome;
    bool fixedStep = true;
    unsigned exitFrame = 0;
    std::optional<unsigned> seed = 1u;
    // The input script's text; written beside the game when not empty.
    std::string script;
    // Frame and path (relative paths are the game folder's).
    std::vector<std::pair<unsigned, std::string>> screenshots;
    // More NAME=value variables.
    std::vector<std::string> environment;
    // A guard against a hung program only, far above what a run takes on a loaded machine:
    // no outcome of a working program depends on it.
    int timeoutSeconds = 1800;
    // SIGTERM once the output holds this text (empty: never): a point the run has reached,
    // however slow the machine.
    std::string terminateAfterOutput;
    // An X display (":91") to run on with SDL's x11 driver; empty: the offscreen driver.
    std::string display;
    // Runs once the program has started, while it runs; given its pid.
    std::function<void(pid_t)> whileRunning;
    // Standard output and error on a pipe whose reader has gone (a launcher that exited
    // first): the run's output is then empty.
    bool outputToClosedPipe = false;
};

// Where the run's output lines go, as it runs.
inline std::string playerOutputPath(const PlayerOptions& options)
{
    return options.directory + "/player-output.txt";
}

// The output so far of the run.
inline std::string playerOutputSoFar(const PlayerOptions& options)
{
    std::ifstream in(playerOutputPath(options), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits until the run's output holds the text, for at most the time; false when it did
// not come.
inline bool waitForOutput(const PlayerOptions& options, const std::string& text, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (playerOutputSoFar(options).find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

struct PlayerRun {
    // The exit status; -1 when a signal ended it or it ran out of time.
    int status = -1;
    bool timedOut = false;
    std::string output;

    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::istringstream in(output);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }
    // The first line holding text at or after line from; -1 when none does.
    int lineWith(const std::string& text, int from = 0) const
    {
        const std::vector<std::string> all = lines();
        for (int i = std::max(from, 0); i < static_cast<int>(all.size()); ++i) {
            if (all[i].find(text) != std::string::npos)
                return i;
        }
        return -1;
    }
    bool has(const std::string& text) const { return output.find(text) != std::string::npos; }
};

inline PlayerRun runPlayer(const std::string& program, const PlayerOptions& options)
{
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
        const std::string entry(*variable);
        // The run's own hooks only; no box may wait for a click.
        if (entry.rfind("ZQ_", 0) != 0 && entry.rfind("SDL_VIDEODRIVER=", 0) != 0 &&
            entry.rfind("SDL_AUDIODRIVER=", 0) != 0 && entry.rfind("DISPLAY=", 0) != 0)
            environment.push_back(entry);
    }
    if (options.display.empty()) {
        environment.push_back("SDL_VIDEODRIVER=offscreen");
    } else {
        environment.push_back("SDL_VIDEODRIVER=x11");
        environment.push_back("DISPLAY=" + options.display);
    }
    environment.push_back("SDL_AUDIODRIVER=dummy");
    environment.push_back("ZQ_DATA_HOME=" + (options.dataHome.empty() ? options.directory + "/store" : options.dataHome));
    if (options.fixedStep)
        environment.push_back("ZQ_FIXED_STEP=1");
    if (options.exitFrame)
        environment.push_back("ZQ_EXIT_FRAME=" + std::to_string(options.exitFrame));
    if (options.seed)
        environment.push_back("ZQ_SEED=" + std::to_string(*options.seed));
    if (!options.script.empty()) {
        const std::string path = options.directory + "/input-script.txt";
        std::ofstream(path) << options.script;
        environment.push_back("ZQ_INPUT_SCRIPT=" + path);
    }
    if (!options.screenshots.empty()) {
        std::string list;
        for (const auto& [frame, path] : options.screenshots)
            list += (list.empty() ? "" : ",") + std::to_string(frame) + ":" + path;
        environment.push_back("ZQ_SCREENSHOTS=" + list);
    }
    // The options' own variables replace those of the same name.
    for (const std::string& entry : options.environment) {
        const std::string name = entry.substr(0, entry.find('=') + 1);
        environment.erase(std::remove_if(environment.begin(), environment.end(),
                                         [&name](const std::string& old) { return old.rfind(name, 0) == 0; }),
                          environment.end());
        environment.push_back(entry);
    }

    const std::string outputPath = playerOutputPath(options);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string programCopy = program;
    char* argv[] = {programCopy.data(), nullptr};

    PlayerRun run;
    // Gone before the start, so that no one reads an earlier run's lines as this one's.
    std::remove(outputPath.c_str());
    const pid_t child = fork();
    if (child == 0) {
        int ends[2] = {-1, -1};
        if (options.outputToClosedPipe && (pipe(ends) != 0 || close(ends[0]) != 0))
            _exit(127);
        const int output =
            options.outputToClosedPipe ? ends[1] : open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (output < 0 || chdir(options.directory.c_str()) != 0)
            _exit(127);
        dup2(output, 1);
        dup2(output, 2);
        close(output);
        execve(argv[0], argv, envp.data());
        _exit(127);
    }
    if (child < 0)
        return run;
    const auto started = std::chrono::steady_clock::now();
    const auto deadline = started + std::chrono::seconds(options.timeoutSeconds);
    if (options.whileRunning)
        options.whileRunning(child);
    bool terminated = false;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (!options.terminateAfterOutput.empty() && !terminated &&
            playerOutputSoFar(options).find(options.terminateAfterOutput) != std::string::npos) {
            terminated = true;
            kill(child, SIGTERM);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    run.status = !run.timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(outputPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    run.output = text.str();
    return run;
}

} // namespace player_test
