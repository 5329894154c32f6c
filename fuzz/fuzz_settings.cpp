// Any settings file gives either nothing or a usable load directory: the
// first line, unchanged, within its limit, with no control character; and
// what is written for that directory reads back as the same directory.
#include "controls/settingsfile.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view contents(reinterpret_cast<const char*>(data), size);
    const auto line = controls::settingsLine(contents);
    if (!line) return 0;
    const std::string_view l = *line;
    check(!l.empty() && l.size() <= controls::kMaxSettingsLine);
    for (char c : l) {
        const auto u = static_cast<unsigned char>(c);
        check(u >= 0x20 && u != 0x7f);
    }
    check(contents.starts_with(l));
    check(l.size() == contents.size() || contents[l.size()] == '\r' || contents[l.size()] == '\n');
    check(controls::settingsLine(controls::settingsText(l)) == l);
    return 0;
}
