#include "tools/host/TemporaryOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tools/host/ToolError.h"

namespace {

std::string systemCause() { return std::strerror(errno); }

// The permissions a plainly created file would get; the temporary file starts private.
mode_t creationMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
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
    fchmod(fd, creationMode());
}

TemporaryOutput::~TemporaryOutput() {
    if (fd >= 0) close(fd);
    if (!committed) unlink(temporaryPath.c_str());
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
