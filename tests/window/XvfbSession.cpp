#include "XvfbSession.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
    constexpr int startTimeoutMs = 10000;

    // Xvfb writes the display number it chose, then a newline, to the -displayfd descriptor once it accepts clients.
    std::string readDisplayNumber (int fd)
    {
        std::string number;
        pollfd request { fd, POLLIN, 0 };

        while (poll (&request, 1, startTimeoutMs) > 0)
        {
            char c = 0;

            if (read (fd, &c, 1) != 1 || c == '\n')
                break;

            number += c;
        }

        return number;
    }
}

std::unique_ptr<XvfbSession> XvfbSession::startIfNoDisplay()
{
    if (const auto* existing = std::getenv ("DISPLAY"); existing != nullptr && *existing != 0)
        return {};

    int pipeFds[2];

    if (pipe (pipeFds) != 0)
        throw std::runtime_error ("cannot create a pipe for Xvfb");

    const auto displayFd = std::to_string (pipeFds[1]);
    const auto pid = fork();

    if (pid < 0)
        throw std::runtime_error ("cannot fork for Xvfb");

    if (pid == 0)
    {
        // The server goes with the test process, however that ends, and keeps off its output.
        prctl (PR_SET_PDEATHSIG, SIGTERM);
        close (pipeFds[0]);

        if (const auto devNull = open ("/dev/null", O_WRONLY); devNull >= 0)
        {
            dup2 (devNull, STDOUT_FILENO);
            dup2 (devNull, STDERR_FILENO);
        }

        // The search for a free display starts at :99, away from :0, which JUCE falls back to in
        // any process without a DISPLAY: other tests running meanwhile must not find this server.
        execlp ("Xvfb", "Xvfb", ":99", "-displayfd", displayFd.c_str(), "-screen", "0", "1280x1024x24",
                "-nolisten", "tcp", (char*) nullptr);
        _exit (127);
    }

    close (pipeFds[1]);
    const auto number = readDisplayNumber (pipeFds[0]);
    close (pipeFds[0]);

    std::unique_ptr<XvfbSession> session (new XvfbSession (pid, ":" + number));

    if (number.empty())
        throw std::runtime_error ("Xvfb did not report a display");

    setenv ("DISPLAY", session->displayName.c_str(), 1);
    return session;
}

XvfbSession::XvfbSession (pid_t serverProcess, std::string name)
    : pid (serverProcess), displayName (std::move (name))
{
}

XvfbSession::~XvfbSession()
{
    kill (pid, SIGTERM);

    int status = 0;
    while (waitpid (pid, &status, 0) < 0 && errno == EINTR) {}

    unsetenv ("DISPLAY");
}
