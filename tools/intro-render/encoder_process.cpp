#include "encoder_process.h"

#include "interrupt.h"
#include "pending_file.h"
#include "assets/printable.h"

#include <cerrno>
#include <csignal>
#include <initializer_list>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// How long an encoder asked to stop may take before it is killed.
constexpr int kStopGraceMilliseconds = 2000;
constexpr int kStopPollMilliseconds = 10;

// A file the system would run: a regular file with execute permission for us.
bool isExecutableFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string findOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = dirs.find(':', begin);
        if (end == std::string::npos) end = dirs.size();
        // An empty entry is the working directory.
        const std::string dir = end > begin ? dirs.substr(begin, end - begin) : ".";
        const std::string candidate = dir + "/" + program;
        // A folder or a file without execute permission is passed over, as the shell does.
        if (isExecutableFile(candidate)) return candidate;
        begin = end + 1;
    }
    return "";
}

EncoderProcess::~EncoderProcess() {
    stop();
}

bool EncoderProcess::start(const std::string& path, const std::vector<std::string>& args,
                           std::string& error) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = "cannot make a pipe to " + printable(path) + ": " + std::strerror(errno);
        return false;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Our ignored SIGPIPE and caught signals must not carry over into the encoder.
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    const int status =
        posix_spawn(&pid_, path.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[0]);
    if (status != 0) {
        pid_ = -1;
        close(pipeEnds[1]);
        error = "cannot start " + printable(path) + ": " + std::strerror(status);
        return false;
    }
    input_ = pipeEnds[1];
    return true;
}

bool EncoderProcess::write(const void* data, size_t size) {
    if (input_ < 0) {
        errno = EPIPE;
        return false;
    }
    return writeAll(input_, data, size);
}

bool EncoderProcess::finish(std::string& error) {
    if (input_ >= 0) close(input_);
    input_ = -1;
    if (pid_ < 0) {
        error = "the encoder is not running";
        return false;
    }
    int status = 0;
    pid_t waited;
    while ((waited = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
        // Interrupted while the encoder finishes: it is not waited for any longer.
        if (interrupted()) {
            stop();
            error = "interrupted";
            return false;
        }
    }
    pid_ = -1;
    if (waited < 0) {
        error = std::string("cannot wait for the encoder: ") + std::strerror(errno);
        return false;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    if (WIFEXITED(status))
        error = "the encoder failed with exit status " + std::to_string(WEXITSTATUS(status));
    else
        error = std::string("the encoder was ended by signal ") + std::to_string(WTERMSIG(status));
    return false;
}

void EncoderProcess::stop() {
    if (input_ >= 0) close(input_);
    input_ = -1;
    if (pid_ < 0) return;
    // The whole group, so helpers the encoder started stop too; SIGCONT lets a stopped
    // encoder act on the SIGTERM.
    kill(-pid_, SIGTERM);
    kill(-pid_, SIGCONT);
    int status;
    for (int waited = 0; waited < kStopGraceMilliseconds; waited += kStopPollMilliseconds) {
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_ || (done < 0 && errno != EINTR)) {
            pid_ = -1;
            return;
        }
        usleep(kStopPollMilliseconds * 1000);
    }
    kill(-pid_, SIGKILL);
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
    pid_ = -1;
}
