// The text helpers take any text and any number without failing.
#include "util/fields.h"
#include "util/hex.h"
#include "util/paths.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 10) return 0;
    double number;
    std::memcpy(&number, data, sizeof number);
    const int width = data[8] % 24;
    const long index = static_cast<std::int8_t>(data[9]);
    const std::string_view text(reinterpret_cast<const char*>(data) + 10, size - 10);

    if (util::hexpad(number, width).size() > static_cast<std::size_t>(width)) std::abort();
    util::hextolong(text);
    for (const char* delimiter : {"", " ", "\n", "ab"})
        util::getfield(text, index, delimiter);
    for (char separator : {'\\', '/'}) {
        std::string path(text);
        util::pathpart(path, index % 8, separator);
    }
    return 0;
}
