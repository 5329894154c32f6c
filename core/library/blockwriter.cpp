#include "library/blockwriter.h"

#include "compiler/compiler.h"
#include "library/scriptfile.h"
#include "util/constants.h"
#include "util/utf8.h"

#include <algorithm>
#include <vector>

namespace library {

namespace {

constexpr auto npos = std::string_view::npos;

SavedBlock refused(std::string reason) {
    return {{}, std::move(reason)};
}

std::string_view lastLineEnd(std::string_view file) {
    const std::size_t last = file.find_last_of("\r\n");
    if (last == npos) return util::CRLF;
    if (file[last] == '\r') return util::CR;
    return last > 0 && file[last - 1] == '\r' ? util::CRLF : util::LF;
}

// Valid UTF-8 text in the file's encoding; for Latin-1, the first character
// it lacks goes to `lacking` and false is answered.
bool encode(std::string_view text, bool latin1, std::string& out, std::string& lacking) {
    if (!latin1) {
        out += text;
        return true;
    }
    while (!text.empty()) {
        const std::size_t length = util::utf8Length(text);
        const auto lead = static_cast<unsigned char>(text[0]);
        if (length == 1) {
            out += text[0];
        } else if (length == 2 && lead <= 0xC3) {
            out += static_cast<char>(((lead & 0x1F) << 6) | (text[1] & 0x3F));
        } else {
            lacking = text.substr(0, length);
            return false;
        }
        text.remove_prefix(length);
    }
    return true;
}

} // namespace

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != npos || text.find("\xE2\x80\xA8") != npos ||
           text.find("\xE2\x80\xA9") != npos;
}

SavedBlock saveBlock(std::string_view file, std::string_view name, std::string_view queue,
                     SameName same) {
    if (name.empty()) return refused("a block needs a name for its button to show");
    if (hasLineBreak(name)) return refused("a block's name is one line");
    if (!util::isUtf8(name) || !util::isUtf8(queue))
        return refused("the name or the queue is not valid UTF-8 text");

    // The block's lines as the loader will give them back.
    std::vector<std::string> lines{";" + std::string(name)};
    const std::string typed = compiler::typedQueue(queue);
    const bool headed = blockName(typed) == name;
    forEachScriptLine(typed, [&](std::string_view line, std::size_t at, std::size_t) {
        if (at == 0 && headed) return;
        lines.push_back((line.starts_with(';') ? " " : "") + std::string(line));
    });
    lines.emplace_back();
    std::size_t entryBytes = 0;
    for (const auto& line : lines)
        entryBytes += line.size() + util::CRLF.size();
    if (lines.size() > kQueueLines || entryBytes - util::CRLF.size() > kQueueBytes)
        return refused("the queue is longer than a block Load takes (" +
                       std::to_string(kQueueLines) + " lines, " +
                       std::to_string(kQueueBytes >> 10) + " KiB)");

    const bool latin1 = !util::isUtf8(file);
    const std::string_view lineEnd = lastLineEnd(file);
    std::string block, lacking;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (!encode(lines[k], latin1, block, lacking)) {
            const std::string where =
                k == 0 ? "in the name"
                       : "on line " + std::to_string(k + (headed ? 1 : 0)) + " of the queue";
            return refused("it is Latin-1 text, which has no \"" + lacking + "\" (" + where + ")");
        }
        block += lineEnd;
    }
    const std::string_view heading = std::string_view(block).substr(0, block.find_first_of("\r\n"));

    // The loader reads past a byte-order mark only in UTF-8 text.
    const std::size_t skip =
        !latin1 && file.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    std::size_t blocks = 0, taken = 0, begin = npos, end = npos;
    forEachScriptLine(file.substr(skip), [&](std::string_view line, std::size_t at, std::size_t) {
        if (!line.starts_with(';')) return;
        ++blocks;
        if (begin != npos && end == npos) end = skip + at;
        if (begin == npos && line == heading) {
            begin = skip + at;
            taken = blocks;
        }
    });
    if (begin != npos && same == SameName::Refuse)
        return {{}, "it already has a block \"" + std::string(name) + "\"", true};
    if ((begin == npos ? blocks + 1 : taken) > kMaxBlocks)
        return refused("it holds " + std::to_string(blocks) + " blocks, and Load takes the first " +
                       std::to_string(kMaxBlocks));

    std::string bytes;
    if (begin != npos) {
        bytes.append(file.substr(0, begin))
            .append(block)
            .append(file.substr(std::min(end, file.size())));
    } else {
        bytes.append(file);
        if (!file.empty() && file.back() != '\r' && file.back() != '\n') bytes += lineEnd;
        bytes += block;
    }
    if (bytes.size() > kMaxScriptFileBytes)
        return refused("it would grow past " + std::to_string(kMaxScriptFileBytes >> 20) +
                       " MiB, more than Load reads");
    // Without the block it replaces, Latin-1 text may happen to be valid
    // UTF-8, and read so its other characters would change.
    if (latin1 && util::isUtf8(bytes) &&
        std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; }))
        return refused("it is Latin-1 text that would read as UTF-8 without the block replaced");
    return {std::move(bytes), {}};
}

} // namespace library
