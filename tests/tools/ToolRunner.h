// Runs the built tolvan-host as a user does, in a folder of its own, and collects its
// exit status and what it printed.
#pragma once

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tooltest {

namespace fs = std::filesystem;

// A fresh folder, removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tolvan-host-test-XXXXXX").string();
        folder = mkdtemp(pattern.data());
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string operator/(const std::string& name) const { return (folder / name).string(); }
    const fs::path& path() const { return folder; }
    // The names in the folder, sorted, hidden temporary files included.
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder)) found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }

private:
    fs::path folder;
};

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<char*> argv(const std::vector<std::string>& arguments, const std::string& program)
{
    static std::vector<std::string> keep;
    keep = arguments;
    keep.insert(keep.begin(), program);
    std::vector<char*> pointers;
    for (std::string& a : keep) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Standard output and error go to files, standard input is empty. inChild runs in the
// child just before the tool starts (a limit, another user, another folder).
inline ToolRun runToolWith(const std::function<void()>& inChild, const std::vector<std::string>& arguments,
                           const std::string& program = TOLVAN_HOST_PATH)
{
    TempFolder capture;
    const std::string outPath = capture / "out", errPath = capture / "err";
    std::vector<char*> args = argv(arguments, program);
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        inChild();
        execv(program.c_str(), args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, contents(outPath), contents(errPath)};
}

inline ToolRun runTool(const std::vector<std::string>& arguments, const std::string& program = TOLVAN_HOST_PATH)
{
    return runToolWith([] {}, arguments, program);
}

// The same with standard error on a terminal; answers what the terminal showed.
inline std::string terminalOutput(const std::vector<std::string>& arguments,
                                  const std::string& program = TOLVAN_HOST_PATH)
{
    std::vector<char*> args = argv(arguments, program);
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0) {
        const int out = open("/dev/null", O_WRONLY);
        dup2(out, 1);
        execv(program.c_str(), args.data());
        _exit(127);
    }
    std::string shown;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n <= 0) break;  // the terminal closes when the tool ends
        shown.append(buffer, static_cast<std::size_t>(n));
    }
    close(terminal);
    waitpid(pid, nullptr, 0);
    return shown;
}

}  // namespace tooltest
