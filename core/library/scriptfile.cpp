#include "library/scriptfile.h"

#include "util/constants.h"
#include "util/utf8.h"

namespace library {

namespace {

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The first `limit` characters of valid UTF-8 text.
std::string_view firstCharacters(std::string_view text, std::size_t limit) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isContinuation(static_cast<unsigned char>(text[i]))) continue;
        if (characters == limit) return text.substr(0, i);
        ++characters;
    }
    return text;
}

// At most `limit` bytes of valid UTF-8 text, never part of a character.
std::string_view firstBytes(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    while (limit > 0 && isContinuation(static_cast<unsigned char>(text[limit])))
        --limit;
    return text.substr(0, limit);
}

// One entry of the table as the loader fills it, held to what the queue takes.
class Entry {
  public:
    Entry(std::string& text, std::size_t index, std::vector<std::size_t>& cut)
        : m_text(&text), m_index(index), m_cut(&cut) {}
    void start(std::string_view line) {
        *m_text = firstBytes(line, kQueueBytes);
        m_lines = 1;
        if (m_text->size() < line.size()) markCut();
    }
    void add(std::string_view line) {
        if (m_lines == 0) return start(line);
        if (m_lines >= kQueueLines ||
            m_text->size() + util::CRLF.size() + line.size() > kQueueBytes)
            return markCut();
        m_text->append(util::CRLF).append(line);
        ++m_lines;
    }

  private:
    void markCut() {
        if (m_cut->empty() || m_cut->back() != m_index) m_cut->push_back(m_index);
    }
    std::string* m_text;
    std::size_t m_index;
    std::vector<std::size_t>* m_cut;
    std::size_t m_lines = 0;
};

} // namespace

std::string decodeScriptText(std::string_view bytes) {
    // Strict, so that a Latin-1 file that merely looks like UTF-8 in places
    // is still taken as Latin-1.
    if (util::isUtf8(bytes)) return std::string(bytes);
    std::string text;
    text.reserve(bytes.size() * 2);
    for (char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        if (c < 0x80) {
            text.push_back(b);
        } else {
            text.push_back(static_cast<char>(0xC0 | (c >> 6)));
            text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return text;
}

LoadedScript loadScript(std::string_view bytes, const BlockTable& table) {
    // A byte-order mark would hide the first comment line in the preamble.
    std::string text = decodeScriptText(bytes);
    if (std::string_view(text).starts_with(kByteOrderMark)) text.erase(0, kByteOrderMark.size());
    LoadedScript loaded{table, {}, {std::string(kSelectScript)}, 0, {}};
    // The preamble is this file's alone: an earlier file's must never reach the queue.
    loaded.blocks[0].clear();
    Entry entry(loaded.blocks[0], 0, loaded.entriesCut);
    std::size_t block = 0;
    forEachScriptLine(text, [&](std::string_view line, std::size_t, std::size_t) {
        if (!line.empty() && line.front() == ';') {
            ++block;
            if (block > kMaxBlocks) {
                ++loaded.blocksLeftOut;
                return;
            }
            const std::string_view name = line.substr(1);
            loaded.listItems.emplace_back(firstCharacters(name, kMaxListItem));
            if (block <= kQuickButtons)
                loaded.captions[block - 1] = firstCharacters(name, kMaxCaption);
            entry = Entry(loaded.blocks[block], block, loaded.entriesCut);
            entry.start(line);
        } else if (block <= kMaxBlocks) {
            entry.add(line);
        }
    });
    return loaded;
}

std::string_view blockName(std::string_view entry) {
    if (!entry.starts_with(';')) return {};
    return entry.substr(1, entry.find('\r') - 1);
}

} // namespace library
