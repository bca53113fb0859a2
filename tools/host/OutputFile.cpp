#include "tools/host/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "tools/host/AnonymousFile.h"
#include "tools/host/ToolError.h"

namespace {

std::string systemCause() { return std::strerror(errno); }

// The permissions a plainly created file would get; the temporary file starts private.
mode_t creationMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The temporary files an interrupt must remove. The handler may run between any two
// instructions of the thread it interrupts, so it reads only fixed storage: a slot's path
// is written while the slot is marked free, and marked taken only after (a signal fence
// keeps that order), with a sig_atomic_t store the handler sees whole.
constexpr int kInterruptSlots = 8;
constexpr std::size_t kSlotPathSize = 4096;
struct InterruptSlot {
    volatile std::sig_atomic_t taken = 0;
    char path[kSlotPathSize] = {};
};
std::array<InterruptSlot, kInterruptSlots> interruptSlots;
constexpr std::array kInterrupts = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeTemporaryFiles(int signal)
{
    for (const InterruptSlot& slot : interruptSlots) {
        if (slot.taken == 0) continue;
        std::atomic_signal_fence(std::memory_order_acquire);
        unlink(slot.path);
    }
    // Then die of the signal as if nothing had caught it, so the caller sees why.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Installed once, at the first output, over the default action only: a caller that
// ignores or handles a signal itself keeps it. A file-size limit (SIGXFSZ) would kill the
// tool mid-write; ignored, it makes the write fail with EFBIG, which is reported like a
// full disk.
void installInterruptHandler()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction sizeLimit {};
        if (sigaction(SIGXFSZ, nullptr, &sizeLimit) == 0 && sizeLimit.sa_handler == SIG_DFL) {
            std::signal(SIGXFSZ, SIG_IGN);
        }
        for (const int signal : kInterrupts) {
            struct sigaction current {};
            if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction handler {};
            handler.sa_handler = removeTemporaryFiles;
            sigemptyset(&handler.sa_mask);
            for (const int other : kInterrupts) sigaddset(&handler.sa_mask, other);
            sigaction(signal, &handler, nullptr);
        }
    });
}

// A free slot holding path, or -1 when the path does not fit or all are taken (the file
// is then only removed by the usual paths).
int takeInterruptSlot(const std::string& path)
{
    if (path.size() >= kSlotPathSize) return -1;
    for (int i = 0; i < kInterruptSlots; ++i) {
        InterruptSlot& slot = interruptSlots[static_cast<std::size_t>(i)];
        if (slot.taken != 0) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        std::atomic_signal_fence(std::memory_order_release);
        slot.taken = 1;
        return i;
    }
    return -1;
}

void freeInterruptSlot(int index)
{
    if (index >= 0) interruptSlots[static_cast<std::size_t>(index)].taken = 0;
}

constexpr const char* kStandardStream = "-";

constexpr int kMostLinks = 40;  // as the kernel allows in one path

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// path with its symbolic links followed to the file they end at, which need not exist yet;
// a link is written through, never replaced.
std::string followLinks(const std::string& path)
{
    std::string at = path;
    for (int hops = 0;; ++hops) {
        struct stat status {};
        if (lstat(at.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return at;
        if (hops == kMostLinks) throw ToolError(path + ": cannot write: " + std::strerror(ELOOP));
        std::vector<char> target(static_cast<std::size_t>(PATH_MAX) + 1);
        const ssize_t n = readlink(at.c_str(), target.data(), target.size() - 1);
        if (n < 0) throw ToolError(path + ": cannot write: " + systemCause());
        const std::string link(target.data(), static_cast<std::size_t>(n));
        at = link.front() == '/' ? link : folderOf(at) + link;
    }
}

// A hidden name beside target that fits wherever target's own name does: the longest names
// a file system takes leave no room for the 8 added bytes, so the base is cut to make it.
std::string temporaryPattern(const std::string& target)
{
    const std::string folder = folderOf(target);
    std::string base = target.substr(folder.size());
    const long limit = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    constexpr std::size_t kAdded = std::char_traits<char>::length(".") + std::char_traits<char>::length(".XXXXXX");
    const std::size_t longest = limit > static_cast<long>(kAdded) ? static_cast<std::size_t>(limit) : NAME_MAX;
    if (base.size() + kAdded > longest) base.resize(longest - kAdded);
    return folder + "." + base + ".XXXXXX";
}

}  // namespace

OutputFile::OutputFile(std::string path) : givenPath(std::move(path))
{
    if (givenPath.empty()) throw ToolError("an output needs a file name");
    installInterruptHandler();
    if (givenPath == kStandardStream) {
        openStraight(dup(STDOUT_FILENO));
        return;
    }
    targetPath = followLinks(givenPath);
    struct stat status {};
    const bool exists = stat(targetPath.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode)) throw ToolError(givenPath + ": cannot write: it is a folder");
    if (exists && (S_ISCHR(status.st_mode) || S_ISFIFO(status.st_mode))) {
        // A device or a pipe's reader takes the bytes as they come; there is nothing to replace.
        openStraight(open(targetPath.c_str(), O_WRONLY | O_CLOEXEC));
        return;
    }
    if (exists && !S_ISREG(status.st_mode)) {
        throw ToolError(givenPath + ": cannot write: not a regular file, a character device or a FIFO");
    }
    std::string pattern = temporaryPattern(targetPath);
    fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) fail();
    temporaryPath = pattern;
    interruptSlot = takeInterruptSlot(temporaryPath);
    // A replaced file keeps its permissions; a new one gets those a plain creation would.
    fchmod(fd, exists ? status.st_mode & 07777 : creationMode());
}

void OutputFile::openStraight(int descriptor)
{
    fd = descriptor;
    if (fd < 0) fail();
    if (lseek(fd, 0, SEEK_CUR) < 0) staging = createAnonymousFile(givenPath);
}

OutputFile::~OutputFile()
{
    if (staging >= 0) close(staging);
    if (fd >= 0) close(fd);
    if (!committed && !direct()) unlink(temporaryPath.c_str());
    freeInterruptSlot(interruptSlot);
}

void OutputFile::fail() const { throw ToolError(givenPath + ": cannot write: " + systemCause()); }

void OutputFile::write(const void* bytes, std::size_t size)
{
    if (!writeAll(descriptor(), bytes, size)) fail();
}

void OutputFile::commit()
{
    if (staging >= 0) {
        if (lseek(staging, 0, SEEK_SET) != 0 || !copyToEnd(staging, fd)) fail();
    }
    // No fsync: on a busy disk it can cost more than the processing, and the usual Linux
    // file systems write a file renamed over another before the rename. Network file
    // systems report a full disk at the close, which is checked.
    const int result = close(fd);
    fd = -1;
    if (result != 0) fail();
    if (!direct() && std::rename(temporaryPath.c_str(), targetPath.c_str()) != 0) fail();
    committed = true;
    // The name now belongs to the finished file, which an interrupt must leave alone.
    freeInterruptSlot(interruptSlot);
    interruptSlot = -1;
}

void writeFileSafely(const std::string& path, const std::vector<uint8_t>& bytes)
{
    OutputFile output(path);
    output.write(bytes);
    output.commit();
}

std::FILE* reportStream(const std::string& output) { return output == kStandardStream ? stderr : stdout; }

std::string extensionOf(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    // A leading dot marks a hidden file, not an extension.
    if (dot == std::string::npos || dot == 0 || (slash != std::string::npos && dot <= slash + 1)) return "";
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

void refuseUnlessExtension(const std::string& output, const std::vector<std::string>& extensions)
{
    const std::string extension = extensionOf(output);
    if (extension.empty() || std::find(extensions.begin(), extensions.end(), extension) != extensions.end()) return;
    std::string known;
    for (std::size_t i = 0; i < extensions.size(); ++i) {
        known += (i == 0 ? "." : i + 1 == extensions.size() ? " or ." : ", .") + extensions[i];
    }
    throw ToolError(output + ": cannot write ." + extension + " files; this command writes " + known);
}

void refuseOutputOverInput(const std::string& input, const std::string& output)
{
    struct stat in {
    }, out{};
    if (stat(input.c_str(), &in) != 0 || stat(output.c_str(), &out) != 0) return;
    if (in.st_dev == out.st_dev && in.st_ino == out.st_ino) {
        throw ToolError(output + ": cannot write: it is the input file " + input + "; name another output");
    }
}
