#include "tools/host/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tools/host/ToolError.h"

namespace {

// Closes the descriptor however reading ends.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0) close(fd);
    }
};

}  // namespace

std::vector<uint8_t> readWholeFile(const std::string& path, std::size_t limit)
{
    const auto failure = [&] { return ToolError(path + ": cannot read: " + std::strerror(errno)); };
    const Descriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) throw failure();
    struct stat status {};
    if (fstat(file.fd, &status) != 0) throw failure();
    if (S_ISDIR(status.st_mode)) throw ToolError(path + ": cannot read: it is a folder");
    // Read in steps, one byte past the limit at most, so that a short file costs little
    // and a file too long is told from one that just fits.
    constexpr std::size_t kStep = 1 << 16;
    std::vector<uint8_t> bytes;
    std::size_t got = 0;
    while (got <= limit) {
        bytes.resize(std::min(got + kStep, limit + 1));
        const ssize_t n = read(file.fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw failure();
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > limit) {
        throw ToolError(path + ": cannot read: longer than " + std::to_string(limit) +
                        " bytes, too long for this kind of file");
    }
    bytes.resize(got);
    return bytes;
}
