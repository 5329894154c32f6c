#pragma once
// Reading a file the user picked, which may be anything: a named pipe without
// a writer, a device that never ends, a socket, a folder. Only a regular file
// is read, and only up to a limit; nothing here blocks or opens a device.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct ReadFile {
    std::optional<std::string> bytes; // the whole file, or nothing
    std::string error;                // why not: "it is a named pipe, not a regular file"
};

// The file's bytes when it is a regular file of at most limit bytes. The
// size it reports is not trusted: at most limit + 1 bytes are read.
ReadFile readRegularFile(const std::string& path, std::size_t limit);

// Opens path, bytes as the system takes them, for writing: created when it
// is not there, emptied unless append. The descriptor is the caller's to
// close; -1 with the reason in error ("No such file or directory").
int openForWriting(const std::string& path, bool append, std::string& error);

// Writes bytes to path, its name as the system's bytes, whole: into a new
// file beside it that then takes its name, so a failure at any point leaves
// what path held. False with the reason in error.
bool writeWhole(const std::string& path, std::string_view bytes, std::string& error);

} // namespace platform
