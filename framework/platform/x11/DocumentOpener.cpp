#include "framework/platform/x11/DocumentOpener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

extern char** environ;

namespace VSTGUI::x11 {
namespace {

std::vector<pid_t>& runningOpeners()
{
    static std::vector<pid_t> pids;
    return pids;
}

}  // namespace

bool openWithDesktop(const char* path)
{
    reapFinishedOpeners();
    if (path == nullptr || path[0] == '\0') return false;
    std::string program = "xdg-open";
    std::string argument = path;
    char* arguments[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, arguments, environ) != 0) return false;
    runningOpeners().push_back(pid);
    return true;
}

void reapFinishedOpeners()
{
    auto& pids = runningOpeners();
    std::erase_if(pids, [](pid_t pid) {
        const pid_t result = waitpid(pid, nullptr, WNOHANG);
        // Gone already (a host that ignores SIGCHLD, or reaps every child) counts as reaped.
        return result == pid || (result < 0 && errno != EINTR);
    });
}

}  // namespace VSTGUI::x11
