#include "tools/host/TemporaryOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>

#include "tools/host/ToolError.h"

namespace {

std::string systemCause() { return std::strerror(errno); }

// The permissions a plainly created file would get; the temporary file starts private.
mode_t creationMode() {
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

extern "C" void removeTemporaryFiles(int signal) {
    for (const InterruptSlot& slot : interruptSlots) {
        if (slot.taken == 0) continue;
        std::atomic_signal_fence(std::memory_order_acquire);
        unlink(slot.path);
    }
    // Then die of the signal as if nothing had caught it, so the caller sees why.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Installed once, at the first temporary file, over the default action only: a caller
// that ignores or handles a signal itself keeps it.
void installInterruptHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] {
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
int takeInterruptSlot(const std::string& path) {
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

void freeInterruptSlot(int index) {
    if (index >= 0) interruptSlots[static_cast<std::size_t>(index)].taken = 0;
}

}  // namespace

TemporaryOutput::TemporaryOutput(std::string path) : finalPath(std::move(path)) {
    struct stat status {};
    if (stat(finalPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        throw ToolError(finalPath + ": cannot write: it is a folder");
    }
    const auto slash = finalPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : finalPath.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
    std::string pattern = folder + "." + base + ".XXXXXX";
    fd = mkstemp(pattern.data());
    if (fd < 0) throw ToolError(finalPath + ": cannot write: " + systemCause());
    temporaryPath = pattern;
    installInterruptHandler();
    interruptSlot = takeInterruptSlot(temporaryPath);
    fchmod(fd, creationMode());
}

TemporaryOutput::~TemporaryOutput() {
    if (fd >= 0) close(fd);
    if (!committed) unlink(temporaryPath.c_str());
    freeInterruptSlot(interruptSlot);
}

void TemporaryOutput::commit() {
    if (fd >= 0) {
        const int result = close(fd);
        fd = -1;
        if (result != 0) throw ToolError(finalPath + ": cannot write: " + systemCause());
    }
    if (std::rename(temporaryPath.c_str(), finalPath.c_str()) != 0) {
        throw ToolError(finalPath + ": cannot write: " + systemCause());
    }
    committed = true;
    // The name now belongs to the finished file, which an interrupt must leave alone.
    freeInterruptSlot(interruptSlot);
    interruptSlot = -1;
}

void writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    TemporaryOutput output(path);
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(output.descriptor(), bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw ToolError(path + ": cannot write: " + systemCause());
        written += static_cast<std::size_t>(n);
    }
    output.commit();
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) throw ToolError(path + ": cannot read: " + systemCause());
    if (S_ISDIR(status.st_mode)) throw ToolError(path + ": cannot read: it is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ToolError(path + ": cannot read: " + systemCause());
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw ToolError(path + ": cannot read: " + systemCause());
    return bytes;
}
