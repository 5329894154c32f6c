#include "sim/devicelink.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace sim {

namespace fs = std::filesystem;

namespace {

std::string processName(const fs::path& process) {
    std::ifstream comm(process / "comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

// The other simulator that holds the master side of the pseudo-terminal
// /dev/pts/N (found by the tty-index of its /dev/ptmx descriptors), as "NAME
// (process PID)"; empty when none does or it cannot be told. Terminal
// numbers are soon reused, by whatever program asks next.
std::string ptyServer(const fs::path& device) {
    const std::string prefix = "/dev/pts/";
    const std::string text = device.string();
    if (!text.starts_with(prefix) || !fs::exists(device)) return {};
    const std::string index = "tty-index:\t" + text.substr(prefix.size()) + "\n";
    const std::string simulator = processName("/proc/self");
    // Processes come and go meanwhile: every step takes an error code, never throws.
    std::error_code ec;
    for (fs::directory_iterator process("/proc", ec), end; !ec && process != end;
         process.increment(ec)) {
        const std::string pid = process->path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos ||
            pid == std::to_string(::getpid()) || processName(process->path()) != simulator)
            continue;
        std::error_code fdError;
        for (fs::directory_iterator fd(process->path() / "fd", fdError); !fdError && fd != end;
             fd.increment(fdError)) {
            std::error_code linkError;
            if (fs::read_symlink(fd->path(), linkError) != "/dev/ptmx") continue;
            std::ifstream info(process->path() / "fdinfo" / fd->path().filename());
            const std::string content((std::istreambuf_iterator<char>(info)), {});
            if (content.find(index) == std::string::npos) continue;
            return simulator + " (process " + pid + ")";
        }
    }
    return {};
}

} // namespace

bool createDeviceLink(const std::string& path, const std::string& target, std::string& error) {
    std::error_code ec;
    const auto status = fs::symlink_status(path, ec);
    if (fs::exists(status) && !fs::is_symlink(status)) {
        error = path + ": exists and is not a symbolic link";
        return false;
    }
    if (fs::is_symlink(status)) {
        const auto current = fs::read_symlink(path, ec);
        if (const auto server = ptyServer(current); !ec && !server.empty()) {
            error = path + ": links to " + current.string() + " of the running " + server +
                    "; stop it first, or choose another --link";
            return false;
        }
    }
    // Made aside and renamed over the name, so the name never goes missing.
    const auto aside = path + ".i2csim-" + std::to_string(::getpid());
    fs::remove(aside, ec);
    fs::create_symlink(target, aside, ec);
    if (!ec) fs::rename(aside, path, ec);
    if (ec) {
        error = path + ": " + ec.message();
        fs::remove(aside, ec);
        return false;
    }
    return true;
}

void removeDeviceLink(const std::string& path, const std::string& target) {
    std::error_code ec;
    if (fs::read_symlink(path, ec) == fs::path(target) && !ec) fs::remove(path, ec);
}

} // namespace sim
