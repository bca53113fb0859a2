// The child runner on Windows, which has no fork: the child is the validator's own program
// started again with the hidden option --run-check, and loads the library itself. Its
// output goes to an inheritable temporary file that the parent reads once it has ended.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>

#include "tools/tolvan-validate/ChildRunner.h"
#include "tools/hosting/WindowsText.h"

namespace validate {
namespace {

struct ExceptionName {
    DWORD code;
    const char* name;
};

// What a child that dies of an exception leaves as its exit code.
constexpr ExceptionName kExceptionNames[] = {
    {0xC0000005, "access violation"},
    {0xC00000FD, "stack overflow"},
    {0xC0000409, "fast fail"},
    {0xC000001D, "illegal instruction"},
    {0xC0000096, "privileged instruction"},
    {0xC0000094, "integer division by zero"},
    {0xC0000374, "heap corruption"},
    {0xC0000006, "in-page error"},
    {0x80000003, "breakpoint"},
};
// The C runtime's abort() ends the process with this code.
constexpr DWORD kAbortExitCode = 3;

// Empty for the exit code of a process that ended by itself (0 passed, any other failed),
// as on Linux; exception codes are those with the top bit set.
std::string crashName(DWORD exitCode)
{
    if (exitCode == kAbortExitCode) return "abort";
    for (const ExceptionName& known : kExceptionNames) {
        if (known.code == exitCode) return known.name;
    }
    if ((exitCode & 0x80000000u) == 0) return {};
    char text[32];
    std::snprintf(text, sizeof text, "exception 0x%08lX", static_cast<unsigned long>(exitCode));
    return text;
}

// One argument of a command line as the C runtime's start-up code splits it again:
// quoted when it has blanks or quotes, backslashes doubled only before a quote.
std::wstring quoted(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        text += c;
        backslashes = 0;
    }
    // The closing quote follows: backslashes before it are doubled.
    text.append(2 * backslashes, L'\\');
    return text + L"\"";
}

std::wstring ownProgram()
{
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path;
}

std::wstring commandLine(const std::wstring& program, const CheckRun& run)
{
    std::wstring line = quoted(program);
    for (const std::string& argument :
         {std::string("--run-check"), std::string(run.check.name), std::string("--seed"), std::to_string(run.seed),
          std::string(run.realWindows ? "--window" : "--no-window"), run.libraryPath}) {
        line += L" " + quoted(hosting::widened(argument));
    }
    return line;
}

// A temporary file that the child inherits as its output and that goes with the last handle.
HANDLE createOutputFile()
{
    std::array<wchar_t, MAX_PATH + 1> folder{};
    std::array<wchar_t, MAX_PATH + 1> path{};
    if (GetTempPathW(static_cast<DWORD>(folder.size()), folder.data()) == 0 ||
        GetTempFileNameW(folder.data(), L"tvc", 0, path.data()) == 0) {
        return INVALID_HANDLE_VALUE;
    }
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(path.data(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inheritable, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string readAll(HANDLE file)
{
    std::string text;
    LARGE_INTEGER start{};
    SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
    std::array<char, 4096> chunk;
    DWORD n = 0;
    while (ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &n, nullptr) && n > 0) {
        text.append(chunk.data(), n);
    }
    return text;
}

double seconds(const FILETIME& time)
{
    const uint64_t ticks = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<double>(ticks) / 1e7;  // 100 ns ticks
}

LONG WINAPI endWithTheException(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

// wine answers GetProcessTimes on another process with the caller's own times, so a child
// that ends normally reports its own in a last line of its output, which the parent takes
// out again.
constexpr std::string_view kCpuReport = "child cpu seconds: ";

double cpuSeconds(HANDLE process)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return seconds(kernel) + seconds(user);
}

// The system's figure for a child, negative when the system answered with this
// process's own times instead, as wine does: ours read just before and just after
// enclose it then.
double childCpuSeconds(HANDLE process)
{
    const double ownBefore = cpuSeconds(GetCurrentProcess());
    const double child = cpuSeconds(process);
    const double ownAfter = cpuSeconds(GetCurrentProcess());
    return child >= ownBefore && child <= ownAfter ? -1 : child;
}

// The child's own figure, removed from its output; negative when it left none.
double takeCpuReport(std::string& output)
{
    const std::size_t at = output.rfind(kCpuReport);
    if (at == std::string::npos || (at > 0 && output[at - 1] != '\n')) return -1;
    const double reported = std::strtod(output.c_str() + at + kCpuReport.size(), nullptr);
    output.erase(at);
    return reported;
}

// The child's processor time so far, for the parent's HangWatch while the child runs:
// wine cannot tell the parent, so the child writes its own figure at the start of a file
// the parent gives it (named by the handle's number in this variable), every quarter of
// a second.
constexpr const wchar_t* kProgressVariable = L"TOLVAN_VALIDATE_PROGRESS";
constexpr int kProgressIntervalMs = 250;

bool writeAtStart(HANDLE file, const std::string& text)
{
    OVERLAPPED at{};
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, &at) != 0;
}

// The figure is written twice over, so that a read that meets a write half done, whose
// halves then differ, counts as no figure. Negative for none.
std::string progressText(double cpu)
{
    char text[48];
    std::snprintf(text, sizeof text, "%-20.3f %-20.3f", cpu, cpu);
    return text;
}

double readProgress(HANDLE file)
{
    std::array<char, 48> text{};
    OVERLAPPED at{};
    DWORD n = 0;
    if (!ReadFile(file, text.data(), static_cast<DWORD>(text.size() - 1), &n, &at) || n == 0) return -1;
    char* second = nullptr;
    const double first = std::strtod(text.data(), &second);
    return std::strtod(second, nullptr) == first ? first : -1;
}

// The child's side: a thread that reports until the check has run.
class ProgressReporter {
public:
    ProgressReporter()
    {
        std::array<wchar_t, 32> number{};
        if (GetEnvironmentVariableW(kProgressVariable, number.data(), static_cast<DWORD>(number.size())) == 0) return;
        const auto file = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::wcstoull(number.data(), nullptr, 10)));
        thread = std::thread([this, file] {
            // The event is set when the check has run; until then it is a clock.
            while (WaitForSingleObject(done, kProgressIntervalMs) == WAIT_TIMEOUT) {
                if (!writeAtStart(file, progressText(cpuSeconds(GetCurrentProcess())))) return;
            }
        });
    }
    ~ProgressReporter()
    {
        SetEvent(done);
        if (thread.joinable()) thread.join();
        CloseHandle(done);
    }
    ProgressReporter(const ProgressReporter&) = delete;
    ProgressReporter& operator=(const ProgressReporter&) = delete;

private:
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread thread;
};

}  // namespace

bool leaksFound() { return false; }  // the Windows builds carry no LeakSanitizer

int runCheckAsChild(const CheckRun& run)
{
    // A crash must end the child at once, never wait on a dialog for a user: the error
    // mode keeps Windows' dialogs away, and the filter ends the process with the
    // exception's code, since wine starts its debugger whatever the error mode says.
    // abort() of a console program's runtime writes to stderr, not to a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endWithTheException);
    // The parent splits the output at '\n' alone.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int exitCode = 0;
    {
        const ProgressReporter progress;
        exitCode = runCheckHere(run);
    }
    std::printf("%s%.3f\n", std::string(kCpuReport).c_str(), cpuSeconds(GetCurrentProcess()));
    std::fflush(stdout);
    return exitCode;
}

Outcome runIsolated(const CheckRun& run, int32_t timeoutSeconds)
{
    Outcome outcome;
    const HANDLE output = createOutputFile();
    if (output == INVALID_HANDLE_VALUE) {
        outcome.verdict = "could not capture the check's output";
        return outcome;
    }
    const HANDLE progress = createOutputFile();
    if (progress == INVALID_HANDLE_VALUE) {
        CloseHandle(output);
        outcome.verdict = "could not make the child's progress file";
        return outcome;
    }
    const std::wstring program = ownProgram();
    std::wstring line = commandLine(program, run);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION child{};
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    // The output and progress files are the only handles the validator makes inheritable;
    // the child inherits the variable that names the second.
    SetEnvironmentVariableW(
        kProgressVariable,
        std::to_wstring(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(progress))).c_str());
    const bool started =
        CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
    const DWORD startError = GetLastError();
    SetEnvironmentVariableW(kProgressVariable, nullptr);
    if (!started) {
        CloseHandle(output);
        CloseHandle(progress);
        outcome.verdict = "could not start the child (error " + std::to_string(startError) + ")";
        return outcome;
    }
    CloseHandle(child.hThread);

    Ending ending;
    HangWatch watch(timeoutSeconds);
    double reportedSoFar = -1;
    while (WaitForSingleObject(child.hProcess, kProgressIntervalMs) == WAIT_TIMEOUT) {
        reportedSoFar = std::max(reportedSoFar, readProgress(progress));
        const double clock = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ending.hang = watch.verdict(clock, reportedSoFar);
        if (!ending.hang.empty()) {
            TerminateProcess(child.hProcess, 1);
            WaitForSingleObject(child.hProcess, INFINITE);
            break;
        }
    }
    CloseHandle(progress);
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // wine answers with the caller's own times: then the child's are unknown (negative),
    // and a child that left no report of its own shows what it last reported, if anything.
    const double systemCpuSeconds = std::max(childCpuSeconds(child.hProcess), reportedSoFar);
    DWORD exitCode = 1;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CloseHandle(child.hProcess);
    outcome.output = readAll(output);
    CloseHandle(output);
    const double reportedCpuSeconds = takeCpuReport(outcome.output);
    outcome.cpuSeconds = reportedCpuSeconds >= 0 ? reportedCpuSeconds : systemCpuSeconds;

    ending.crash = crashName(exitCode);
    ending.exitCode = static_cast<int>(exitCode);
    judge(outcome, ending);
    return outcome;
}

}  // namespace validate
