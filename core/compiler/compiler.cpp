#include "compiler/compiler.h"

#include "compiler/language.h"
#include "util/constants.h"
#include "util/hex.h"

#include <vector>

namespace compiler {

namespace {

// The element characters of the kept lines with one blank for each run of
// separators; lines are joined with nothing between them.
std::string elementText(std::string_view queue, bool& anyLineKept) {
    std::string text;
    text.reserve(queue.size());
    anyLineKept = false;
    std::size_t pos = 0;
    for (;;) {
        auto lf = queue.find('\n', pos);
        auto line = queue.substr(pos, lf == std::string_view::npos ? lf : lf - pos);
        if (!isCommentLine(line)) {
            anyLineKept = true;
            for (char c : line) {
                if (isElementChar(c))
                    text.push_back(c);
                else if (text.empty() || text.back() != ' ')
                    text.push_back(' ');
            }
        }
        if (lf == std::string_view::npos) break;
        pos = lf + 1;
    }
    return text;
}

std::vector<std::string_view> splitElements(std::string_view text) {
    std::vector<std::string_view> elements;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        auto end = text.find(' ', pos);
        if (end == std::string_view::npos) end = text.size();
        elements.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return elements;
}

CompileResult failure(std::string message) {
    return {{}, Alert{std::string(kErrorTitle), std::move(message)}};
}

CompileResult unidentified(std::string_view element) {
    return failure(std::string(kUnidentified) + std::string(util::CRLF) + std::string(element));
}

} // namespace

CompileResult compile(std::string_view queue) {
    bool anyLineKept = false;
    const std::string text = elementText(queue, anyLineKept);
    if (!anyLineKept) return failure(std::string(kNoData));
    const auto elements = splitElements(text);

    // Only the first kMaxTokens tokens can ever be sent; past them just count,
    // since an unidentified element later on still takes precedence.
    std::string tokens;
    std::size_t count = 0;
    auto emit = [&](std::string_view token) {
        if (++count <= kMaxTokens) tokens += token;
    };

    const std::size_t n = elements.size();
    for (std::size_t m = 0; m < n; ++m) {
        const std::string_view element = elements[m];
        if (element.front() == ';') continue;
        const Command* command = findCommand(element);
        if (!command) return unidentified(element);
        const std::string_view parameter = m + 1 < n ? elements[m + 1] : std::string_view{};
        switch (command->parameter) {
        case Parameter::None:
            emit(command->token);
            continue;
        case Parameter::Read:
            emit(readToken(parameter));
            break;
        case Parameter::Supply: {
            auto token = supplyToken(parameter);
            if (!token) return unidentified(parameter);
            emit(*token);
            break;
        }
        case Parameter::Byte:
            emit(command->token);
            emit(byteToken(parameter));
            break;
        }
        ++m; // the parameter is consumed, even when it is past the end
    }

    if (count > kMaxTokens) return failure(std::string(kTooMany));
    return {protocol::scriptFrame(tokens), std::nullopt};
}

std::string typedQueue(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += util::CRLF;
        } else if (c == '\n') {
            out += util::CRLF;
        } else if (c == '\xE2' && i + 2 < text.size() && text[i + 1] == '\x80' &&
                   (text[i + 2] == '\xA8' || text[i + 2] == '\xA9')) {
            i += 2;
            out += util::CRLF;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace compiler
