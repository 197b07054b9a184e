#include "RunTool.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace tamisko::testing {
namespace {

std::string readAll(int fd)
{
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return text;
        text.append(buffer, static_cast<size_t>(n));
    }
}

// Stdout and stderr go to temporary files, so that neither can fill a pipe and stall.
int temporaryFile()
{
    char name[] = "/tmp/tamisko-tool-output-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0)
        throw std::runtime_error("cannot create a temporary file");
    ::unlink(name);
    return fd;
}

} // namespace

ToolRun runTool(const std::vector<std::string>& arguments,
                const std::map<std::string, std::optional<std::string>>& environment,
                const std::string& stdinText)
{
    int input[2];
    if (::pipe(input) != 0)
        throw std::runtime_error("cannot create a pipe");
    const int out = temporaryFile();
    const int err = temporaryFile();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(input[0], 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::close(input[1]);
        ::unsetenv("TAMISKO_PASSWORD");
        for (const auto& [name, value] : environment) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        std::vector<char*> argv{const_cast<char*>(TAMISKO_TOOL_PATH)};
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(TAMISKO_TOOL_PATH, argv.data());
        ::_exit(127);
    }
    ::close(input[0]);
    std::signal(SIGPIPE, SIG_IGN); // the tool may exit without reading its input
    (void)!::write(input[1], stdinText.data(), stdinText.size());
    ::close(input[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ToolRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    ::lseek(out, 0, SEEK_SET);
    ::lseek(err, 0, SEEK_SET);
    run.out = readAll(out);
    run.err = readAll(err);
    ::close(out);
    ::close(err);
    return run;
}

} // namespace tamisko::testing
