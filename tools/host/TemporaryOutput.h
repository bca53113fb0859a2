// An output file written under a temporary name in its own folder and renamed into place
// only when complete, so that a failure leaves no partial file behind, and neither does
// an interrupt (SIGINT, SIGTERM, SIGHUP): the temporary files are removed before the tool
// dies of the signal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TemporaryOutput {
public:
    // Creates the temporary file; throws ToolError naming path when its folder is not writable.
    explicit TemporaryOutput(std::string path);
    // Removes the temporary file unless it was committed.
    ~TemporaryOutput();
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    // The open descriptor; whoever takes it over closes it before commit.
    int descriptor() const { return fd; }
    void releaseDescriptor() { fd = -1; }
    // Closes the file if still open and renames it to the final path.
    void commit();

    const std::string& path() const { return finalPath; }
    // For writers that open files by name: the temporary file, created empty.
    const std::string& temporaryName() const { return temporaryPath; }

private:
    std::string finalPath;
    std::string temporaryPath;
    int fd = -1;
    bool committed = false;
    int interruptSlot = -1;  // where the interrupt handler finds temporaryPath, or -1
};

// Writes bytes to path through a temporary file.
void writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);
// Reads a whole file; throws ToolError naming path and the cause.
std::vector<uint8_t> readWholeFile(const std::string& path);
