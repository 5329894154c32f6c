#include "util/system.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace util {

namespace fs = std::filesystem;

namespace {

std::string twoDigits(int value) {
    std::string text = std::to_string(value < 0 ? -value : value);
    if (text.size() < 2) text.insert(0, "0");
    return text.substr(text.size() - 2);
}

fs::path executablePath() {
    std::error_code ec;
#if defined(_WIN32)
    std::wstring buffer(32768, L'\0');
    auto n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n > 0) return fs::path(buffer.substr(0, n));
#elif defined(__APPLE__)
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::string buffer(size, '\0');
    if (_NSGetExecutablePath(buffer.data(), &size) == 0)
        return fs::weakly_canonical(fs::path(buffer.c_str()), ec);
#else
    auto p = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return p;
#endif
    return {};
}

} // namespace

std::string versiontext(int major, int minor, int revision) {
    return std::to_string(major) + "." + twoDigits(minor) + "." + twoDigits(revision);
}

std::string programdirectory() {
    auto exe = executablePath();
    std::error_code ec;
    fs::path folder = exe.empty() ? fs::current_path(ec) : exe.parent_path();
    // parent_path() ends in a separator only at a root, which is what we want.
    return folder.make_preferred().string();
}

} // namespace util
