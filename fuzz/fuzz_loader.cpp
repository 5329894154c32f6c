// Any file loads without a crash into UTF-8 texts within their limits, and
// leaves the table's entries past the loaded blocks as they were.
#include "library/scriptfile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

// The checks steer no search: only the loader's own branches should count as
// new coverage, and tracing the checks' compares slowed every run.
#define NO_COVERAGE __attribute__((no_sanitize("coverage")))

// Decoded by value rather than by byte ranges, so that it does not share the
// loader's way of telling UTF-8 apart. The length of the character at i, or 0
// when the text is not UTF-8 there.
NO_COVERAGE std::size_t decodeAt(std::string_view text, std::size_t i, char32_t& value) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if ((lead & 0xC0) == 0x80 || lead >= 0xF8 || i + length > text.size()) return 0;
    value = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if ((c & 0xC0) != 0x80) return 0;
        value = value << 6 | (c & 0x3F);
    }
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    return length;
}

// How many characters the text has; nothing when it is not UTF-8.
NO_COVERAGE std::optional<std::size_t> characterCount(std::string_view text) {
    std::size_t count = 0;
    char32_t value;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const std::size_t length = decodeAt(text, i, value);
        if (length == 0) return {};
        i += length;
    }
    return count;
}

// Equal texts, compared in place: a thousand calls a run to the sanitizer's
// memcmp cost more than the compares.
NO_COVERAGE bool same(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

void check(bool condition) {
    if (!condition) std::abort();
}

// UTF-8 lines joined by CR LF: no CR or LF of their own.
NO_COVERAGE void checkLines(std::string_view text) {
    check(characterCount(text).has_value());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') check(i + 1 < text.size() && text[i + 1] == '\n');
        if (text[i] == '\n') check(i > 0 && text[i - 1] == '\r');
    }
}

// cut: the first characters of whole, as many as the limit allows.
NO_COVERAGE void checkCut(std::string_view cut, std::string_view whole, std::size_t limit) {
    const auto characters = characterCount(cut);
    check(characters && *characters <= limit);
    check(whole.starts_with(cut) && (cut == whole || *characters == limit));
}

// Valid UTF-8 comes back unchanged; anything else as Latin-1, each byte its
// own character.
NO_COVERAGE void checkDecoded(std::string_view bytes) {
    const std::string decoded = library::decodeScriptText(bytes);
    if (characterCount(bytes)) {
        check(decoded == bytes);
        return;
    }
    std::size_t at = 0;
    char32_t value;
    for (char byte : bytes) {
        check(at < decoded.size());
        const std::size_t length = decodeAt(decoded, at, value);
        check(length != 0 && value == static_cast<unsigned char>(byte));
        at += length;
    }
    check(at == decoded.size());
}

// Every entry of the prior table differs, so that one in the wrong place shows.
NO_COVERAGE const library::BlockTable& numbered() {
    static const library::BlockTable table = [] {
        library::BlockTable t;
        for (std::size_t k = 0; k < t.size(); ++k)
            t[k] = std::to_string(k);
        return t;
    }();
    return table;
}

NO_COVERAGE void checkLoad(std::string_view bytes) {
    // One prior table serves every run and only the entries a run changed are
    // numbered again: copying all 1001 entries cost more than the load itself.
    // Entry 0 and one other take the file's last bytes, so that the file itself
    // stays whole.
    static library::BlockTable prior = numbered();
    const std::string_view stamp =
        bytes.substr(bytes.size() - std::min<std::size_t>(bytes.size(), 3));
    prior[0] = stamp;
    const std::size_t other = stamp.empty() ? 1 : 1 + static_cast<unsigned char>(stamp[0]) * 3;
    prior[other].append(stamp);

    const auto loaded = library::loadScript(bytes, prior);
    const auto& items = loaded.listItems;
    check(!items.empty() && items.size() <= library::kMaxBlocks + 1);
    check(items.front() == library::kSelectScript);
    const std::size_t blocks = items.size() - 1;
    check(loaded.blocksLeftOut == 0 || blocks == library::kMaxBlocks);

    // The preamble is this file's own: lines before any comment line.
    checkLines(loaded.blocks[0]);
    check(!loaded.blocks[0].starts_with(';'));
    for (std::size_t k = 1; k <= blocks; ++k) {
        const std::string_view entry = loaded.blocks[k];
        checkLines(entry);
        check(entry.starts_with(';'));
        const std::string_view name = entry.substr(1, entry.find('\r') - 1);
        checkCut(items[k], name, library::kMaxListItem);
        if (k <= loaded.captions.size())
            checkCut(loaded.captions[k - 1], name, library::kMaxCaption);
    }
    for (std::size_t k = blocks + 1; k < prior.size(); ++k)
        check(same(loaded.blocks[k], prior[k]));
    for (std::size_t i = blocks; i < loaded.captions.size(); ++i)
        check(loaded.captions[i].empty());

    prior[0] = numbered()[0];
    prior[other] = numbered()[other];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkDecoded(bytes);
    checkLoad(bytes);
    return 0;
}
