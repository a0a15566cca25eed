// The one kind of failure the tool reports: a message for stderr and the exit status.
#pragma once

#include <stdexcept>
#include <string>

// Exit status of a command line that cannot be run as given.
constexpr int kUsageStatus = 2;
// Exit status of a run that failed: a plug-in or file that cannot be used.
constexpr int kFailureStatus = 1;

class ToolError : public std::runtime_error
{
public:
    explicit ToolError(const std::string& message, int status = kFailureStatus)
        : std::runtime_error(message), exitStatus(status)
    {
    }
    int status() const { return exitStatus; }

private:
    int exitStatus;
};
