// An output of the tool, written so that nothing is lost. Where the output is, or will be,
// a regular file (a symbolic link is followed to its target), it is written under a
// temporary name in the target's folder and renamed over it only when complete, so that a
// failure, a full disk or an interrupt (SIGINT, SIGTERM, SIGHUP) leaves the old file as it
// was and no partial file behind. A character device or a FIFO is written straight; any
// other kind of file is refused. Writers that go back to fill in a header (sound files)
// need a file they can seek in: a pipe gets the whole file once it is complete, staged in
// an anonymous temporary file that the system removes however the tool ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class OutputFile {
public:
    // Creates the temporary file or opens the device; throws ToolError naming path when it
    // cannot be written.
    // "-" is standard output.
    explicit OutputFile(std::string path);
    // Removes the temporary file unless it was committed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // The descriptor to write to, seekable; it stays this object's to close.
    int descriptor() const { return staging >= 0 ? staging : fd; }
    // Writes all of bytes; throws ToolError naming the output and the cause.
    void write(const void* bytes, std::size_t size);
    void write(const std::vector<uint8_t>& bytes) { write(bytes.data(), bytes.size()); }
    // Closes the file, checked, and renames it into place (or copies what was staged to
    // the pipe).
    void commit();

    // The path as the user gave it, for messages.
    const std::string& path() const { return givenPath; }
    // Whether the output is a device or FIFO written straight, with no temporary file.
    bool direct() const { return temporaryPath.empty(); }

private:
    [[noreturn]] void fail() const;
    void openStraight(int descriptor);

    std::string givenPath;
    std::string targetPath;     // givenPath with symbolic links followed
    std::string temporaryPath;  // empty when written straight
    int fd = -1;
    int staging = -1;  // the anonymous file in front of a pipe, or -1
    bool committed = false;
    int interruptSlot = -1;  // where the interrupt handler finds temporaryPath, or -1
};

// Writes bytes to path as an OutputFile.
void writeFileSafely(const std::string& path, const std::vector<uint8_t>& bytes);

// Where a command's report goes: standard error when the output itself is standard output.
std::FILE* reportStream(const std::string& output);

// The extension of a file name, in lower case, without the dot; empty when it has none.
std::string extensionOf(const std::string& path);

// Throws ToolError when the output's extension is none of those listed (no extension is
// taken): a file named .mp3 must not hold another kind of data.
void refuseUnlessExtension(const std::string& output, const std::vector<std::string>& extensions);

// Throws ToolError when output names the same file as input (the same device and inode,
// whatever the spelling or link), which writing would destroy while it is read.
void refuseOutputOverInput(const std::string& input, const std::string& output);
