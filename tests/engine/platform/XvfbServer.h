#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

// Starts a program with the environment and the extra variables; its pid, or -1.
inline pid_t spawnWithEnvironment(const std::vector<std::string>& arguments,
                                  const std::vector<std::string>& extraEnvironment)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> environment(extraEnvironment);
    for (char** variable = environ; *variable; ++variable)
        environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    return pid;
}

// The exit status of a child, or -1 when it did not exit normally.
inline int waitForExit(pid_t child)
{
    int status = -1;
    if (child <= 0 || waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An Xvfb display of the given screen size for the object's life; available() is false
// where Xvfb is not installed or does not come up.
class XvfbServer {
public:
    explicit XvfbServer(const std::string& screen)
    {
        for (const char* candidate : {"/usr/bin/Xvfb", "/usr/local/bin/Xvfb"}) {
            if (access(candidate, X_OK) == 0) {
                m_program = candidate;
                break;
            }
        }
        if (m_program.empty())
            return;
        int display = 90;
        while (display < 200 && access(("/tmp/.X" + std::to_string(display) + "-lock").c_str(), F_OK) == 0)
            ++display;
        m_display = ":" + std::to_string(display);
        m_pid = spawnWithEnvironment({m_program, m_display, "-screen", "0", screen, "-nolisten", "tcp"}, {});
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(display);
        for (int i = 0; i < 600 && m_pid > 0 && access(socket.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        m_up = m_pid > 0 && access(socket.c_str(), F_OK) == 0;
    }
    ~XvfbServer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    bool installed() const { return !m_program.empty(); }
    bool available() const { return m_up; }
    // As DISPLAY wants it: ":90".
    const std::string& display() const { return m_display; }

private:
    std::string m_program;
    std::string m_display;
    pid_t m_pid = -1;
    bool m_up = false;
};
