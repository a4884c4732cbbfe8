#pragma once

#include <memory>
#include <string>
#include <sys/types.h>

/**
    A private X server for tests that need a real display. Started only when DISPLAY is unset, on
    a display number the server picks itself (so parallel runs never collide), and stopped when
    the session is destroyed.
*/
class XvfbSession
{
public:
    /** Starts Xvfb and sets DISPLAY when no display is set; null when one already is. Throws when Xvfb fails to start. */
    static std::unique_ptr<XvfbSession> startIfNoDisplay();

    ~XvfbSession();

    const std::string& display() const  { return displayName; }

private:
    XvfbSession (pid_t serverProcess, std::string name);

    pid_t pid;
    std::string displayName;
};
