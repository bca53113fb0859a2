// A fuzzer's input as a file the tool's readers open by name: an anonymous file in
// memory, reached through /proc, so that no fuzzing run leaves files behind.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzzinput {

class MemoryFile {
public:
    MemoryFile(const uint8_t* data, size_t size) : fd(memfd_create("fuzz-input", MFD_CLOEXEC))
    {
        if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size) || lseek(fd, 0, SEEK_SET) != 0) {
            std::perror("memfd");
            std::abort();
        }
    }
    ~MemoryFile() { close(fd); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    std::string path() const { return "/proc/self/fd/" + std::to_string(fd); }

private:
    int fd;
};

}  // namespace fuzzinput
