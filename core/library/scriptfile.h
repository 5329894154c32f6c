#pragma once
// Script files: plain text cut into blocks, each opened by a ";" comment line
// whose text after the ";" names it. Any bytes are taken; nothing here fails.
#include "controls/formcodes.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace library {

inline constexpr std::size_t kMaxBlocks = 1000;
// Entry 0 is the preamble; entries 1 to kMaxBlocks hold the blocks.
using BlockTable = std::array<std::string, kMaxBlocks + 1>;

inline constexpr auto kQuickButtons = static_cast<std::size_t>(controls::kQuickButtons);
inline constexpr std::size_t kMaxCaption = 30;
inline constexpr std::size_t kMaxListItem = 100;
// A script file is a few KB; anything larger is taken for a mistaken pick.
inline constexpr std::size_t kMaxScriptFileBytes = 16u << 20;
inline constexpr std::string_view kSelectScript = "Select script...";
// The most of one block (or of the preamble) that the loader keeps, since
// the command queue takes a block whole: a frame holds 124 tokens, and past
// this the queue's editor and its marks would cost more than a keystroke's
// worth of time and many times the file's size in memory.
inline constexpr std::size_t kQueueLines = 10000;
inline constexpr std::size_t kQueueBytes = 256u << 10;
// Some editors put it first; it is no part of the first line.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct LoadedScript {
    BlockTable blocks; // the table after the load
    std::array<std::string, kQuickButtons> captions;
    std::vector<std::string> listItems;  // kSelectScript, then one per block loaded
    std::size_t blocksLeftOut = 0;       // blocks past kMaxBlocks, not loaded
    std::vector<std::size_t> entriesCut; // entries cut at kQueueLines or kQueueBytes, in order
};

// The file's text: UTF-8 where the bytes are valid UTF-8, else each byte as
// its Latin-1 character (so no byte is lost). Returned as UTF-8.
std::string decodeScriptText(std::string_view bytes);

// bytes: the whole file. Lines end at CR LF, CR or LF; a final line end
// starts no further line, and an empty file has no lines. Entry k (1 up)
// becomes the k-th comment line, then each further line of its block with
// CR LF before it; entry 0 becomes the lines before the first comment line
// (the preamble), joined by CR LF, and nothing else; entries past the file's
// block count keep what table held.
// Blocks past kMaxBlocks are only counted: their lines go nowhere. An entry
// keeps at most kQueueLines lines and kQueueBytes bytes: the lines past that
// go nowhere (a longer first line is cut, never inside a character). Captions
// take at most kMaxCaption characters of a block's name, list items at most
// kMaxListItem (characters, not bytes: a multi-byte character is never cut).
// Time and memory grow linearly with the file.
LoadedScript loadScript(std::string_view bytes, const BlockTable& table);

// A block's whole name: its first line after the ";" (empty for entry 0 or
// an empty entry).
std::string_view blockName(std::string_view entry);

// onLine(line, begin, next) for each line of text as the loader cuts it:
// begin where the line starts, next where the one after it would.
template <typename OnLine> void forEachScriptLine(std::string_view text, OnLine onLine) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        std::size_t next = end + 1;
        if (end < text.size() && text[end] == '\r' && next < text.size() && text[next] == '\n')
            ++next;
        onLine(text.substr(pos, end - pos), pos, std::min(next, text.size()));
        pos = next;
    }
}

} // namespace library
