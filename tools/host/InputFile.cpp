#include "tools/host/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/host/ToolError.h"

namespace {

// Closes the descriptor however reading ends.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) close(fd);
    }
};

}  // namespace

std::vector<uint8_t> readWholeFile(const std::string& path, std::size_t limit) {
    const auto failure = [&] { return ToolError(path + ": cannot read: " + std::strerror(errno)); };
    const Descriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) throw failure();
    struct stat status {};
    if (fstat(file.fd, &status) != 0) throw failure();
    if (S_ISDIR(status.st_mode)) throw ToolError(path + ": cannot read: it is a folder");
    // One byte past the limit tells a file that is too long from one that just fits.
    std::vector<uint8_t> bytes(limit + 1);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = read(file.fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw failure();
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > limit) {
        throw ToolError(path + ": cannot read: longer than " + std::to_string(limit) + " bytes, too long for this kind of file");
    }
    bytes.resize(got);
    return bytes;
}
