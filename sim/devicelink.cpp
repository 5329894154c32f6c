#include "sim/devicelink.h"

#include <filesystem>
#include <unistd.h>

namespace sim {

namespace fs = std::filesystem;

bool createDeviceLink(const std::string& path, const std::string& target, std::string& error) {
    std::error_code ec;
    const auto status = fs::symlink_status(path, ec);
    if (fs::exists(status) && !fs::is_symlink(status)) {
        error = path + ": exists and is not a symbolic link";
        return false;
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
