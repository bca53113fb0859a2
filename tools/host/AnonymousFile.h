// Files with no name, for what passes through a pipe: the system removes them however the
// tool ends. Sound files need to seek (a writer fills in its header at the end, a reader
// may look ahead), which a pipe cannot.
#pragma once

#include <cstddef>
#include <string>

// A new anonymous file in TMPDIR (or /tmp), open for reading and writing; throws
// ToolError naming what for and the cause.
int createAnonymousFile(const std::string& what);

// Writes all of size bytes to fd, or answers false with errno saying why.
bool writeAll(int fd, const void* bytes, std::size_t size);

// Copies from one descriptor to the other until the end; answers false with errno set.
bool copyToEnd(int from, int to);
