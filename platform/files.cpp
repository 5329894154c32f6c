#include "platform/files.h"

#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

std::string tooLarge(std::size_t limit) {
    return "it is larger than " + std::to_string(limit >> 20) + " MiB, too large to load";
}

#if !defined(_WIN32)
std::string kindError(mode_t mode) {
    if (S_ISDIR(mode)) return "it is a folder";
    if (S_ISFIFO(mode)) return "it is a named pipe, not a regular file";
    if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a regular file";
    return "it is not a regular file";
}
#endif

} // namespace

ReadFile readRegularFile(const std::string& path, std::size_t limit) {
#if defined(_WIN32)
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto status = fs::status(fs::u8path(path), ec);
    if (ec) return {std::nullopt, ec.message()};
    if (fs::is_directory(status)) return {std::nullopt, "it is a folder"};
    if (!fs::is_regular_file(status)) return {std::nullopt, "it is not a regular file"};
    std::ifstream in(fs::u8path(path), std::ios::binary);
    if (!in) return {std::nullopt, "it cannot be opened"};
    std::string bytes(limit + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) return {std::nullopt, "it cannot be read"};
    bytes.resize(static_cast<std::size_t>(in.gcount()));
#else
    // Decided before opening: opening a device can have effects of its own
    // (a serial adapter raises its control lines).
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return {std::nullopt, std::strerror(errno)};
    if (!S_ISREG(info.st_mode)) return {std::nullopt, kindError(info.st_mode)};
    // Non-blocking, should the path have become a pipe since.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return {std::nullopt, std::strerror(errno)};
    std::string bytes;
    std::string error;
    if (::fstat(fd, &info) != 0) {
        error = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        error = kindError(info.st_mode);
    } else {
        bytes.resize(limit + 1);
        std::size_t got = 0;
        while (got < bytes.size()) {
            const auto n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                error = std::strerror(errno);
                break;
            }
            if (n == 0) break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
    }
    ::close(fd);
    if (!error.empty()) return {std::nullopt, error};
#endif
    if (bytes.size() > limit) return {std::nullopt, tooLarge(limit)};
    return {std::move(bytes), {}};
}

int openForWriting(const std::string& path, bool append, std::string& error) {
#if defined(_WIN32)
    const int fd =
        ::_open(path.c_str(), _O_WRONLY | _O_CREAT | _O_BINARY | (append ? _O_APPEND : _O_TRUNC),
                _S_IREAD | _S_IWRITE);
#else
    const int fd =
        ::open(path.c_str(),
               O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0666);
#endif
    if (fd < 0) error = std::strerror(errno);
    return fd;
}

bool writeWhole(const std::string& path, std::string_view bytes, std::string& error) {
#if defined(_WIN32)
    namespace fs = std::filesystem;
    const fs::path target = fs::u8path(path);
    fs::path temporary = target;
    temporary += ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            error = "it cannot be written";
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        error = ec.message();
    }
    return error.empty();
#else
    // A name of its own: a second writer of the same file never shares it.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = path + ".~" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    int failure = 0;
    while (!bytes.empty() && failure == 0) {
        const auto n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno != EINTR) failure = errno;
        if (n > 0) bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    // On disk before it takes the name: a crash then leaves the old file or the new one whole.
    if (failure == 0 && ::fsync(fd) != 0) failure = errno;
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
    if (failure == 0) return true;
    ::unlink(temporary.c_str());
    error = std::strerror(failure);
    return false;
#endif
}

} // namespace platform
