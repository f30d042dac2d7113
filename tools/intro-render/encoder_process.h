#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

// The full path of `program` found on PATH (or the system's default search path when PATH
// is unset): the first that is a regular file we may execute, as the shell searches;
// empty when there is none.
std::string findOnPath(const std::string& program);

// A child process that reads what we write to its stdin.
class EncoderProcess {
public:
    EncoderProcess() = default;
    ~EncoderProcess();
    EncoderProcess(const EncoderProcess&) = delete;
    EncoderProcess& operator=(const EncoderProcess&) = delete;

    // Starts path with args (after argv[0]) in its own process group, so a Ctrl-C at the
    // terminal reaches only us and we decide how the encoder ends.
    bool start(const std::string& path, const std::vector<std::string>& args, std::string& error);
    // Writes to the child's stdin; false with errno set (EPIPE once it has exited).
    bool write(const void* data, size_t size);
    // Closes its stdin and waits for it to exit. True when it exited with status 0;
    // otherwise error describes how it ended. Once the run is interrupted it stops the
    // encoder instead of waiting.
    bool finish(std::string& error);
    // Closes its stdin, asks its process group to stop (SIGTERM) and waits for it; one
    // that has not ended after 2 s is killed.
    void stop();

private:
    pid_t pid_ = -1;
    int input_ = -1;
};
