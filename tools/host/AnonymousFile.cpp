#include "tools/host/AnonymousFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/host/ToolError.h"

int createAnonymousFile(const std::string& what)
{
    const char* folder = std::getenv("TMPDIR");
    const int fd = open(folder != nullptr && *folder != '\0' ? folder : "/tmp", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) throw ToolError(what + ": cannot stage what passes through the pipe: " + std::strerror(errno));
    return fd;
}

bool writeAll(int fd, const void* bytes, std::size_t size)
{
    const auto* from = static_cast<const uint8_t*>(bytes);
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = write(fd, from + written, size - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

bool copyToEnd(int from, int to)
{
    std::vector<uint8_t> buffer(std::size_t{1} << 16);
    for (;;) {
        const ssize_t n = read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (!writeAll(to, buffer.data(), static_cast<std::size_t>(n))) return false;
    }
}
