#include "compiler/compiler.h"

#include "compiler/elements.h"
#include "compiler/language.h"
#include "protocol/outcome.h"
#include "util/constants.h"
#include "util/hex.h"

namespace compiler {

namespace {

CompileResult failure(std::string message) {
    return {{}, Alert{std::string(kErrorTitle), std::move(message)}};
}

CompileResult unidentified(std::string_view element) {
    return failure(std::string(kUnidentified) + std::string(util::CRLF) + std::string(element));
}

} // namespace

CompileResult compile(std::string_view queue) {
    const Elements read = readElements(queue);
    if (!read.anyLineKept) return failure(std::string(kNoData));

    // Only the first kMaxTokens tokens can ever be sent; past them just count,
    // since an unidentified element later on still takes precedence.
    std::string tokens;
    std::size_t count = 0;
    auto emit = [&](std::string_view token) {
        if (++count <= kMaxTokens) tokens += token;
    };

    const std::size_t n = read.items.size();
    for (std::size_t m = 0; m < n; ++m) {
        const std::string_view element = read.word(read.items[m]);
        if (element.front() == ';') continue;
        const Command* command = findCommand(element);
        if (!command) return unidentified(element);
        const std::string_view parameter =
            m + 1 < n ? read.word(read.items[m + 1]) : std::string_view{};
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

std::chrono::milliseconds scriptAnswerTime(std::string_view frame) {
    // "$0010", the count field, the tokens, CR.
    constexpr std::size_t kTokensAt = 7;
    if (frame.size() <= kTokensAt || frame.front() != protocol::kCommandStart ||
        protocol::commandCodeOf(frame) != protocol::code::Script)
        return kAnswerTime;
    const auto tokens = frame.substr(kTokensAt, frame.size() - kTokensAt - 1);
    return kAnswerTime + std::chrono::ceil<std::chrono::milliseconds>(requestedDelay(tokens));
}

std::chrono::milliseconds replayAnswerTime() {
    return kAnswerTime + std::chrono::ceil<std::chrono::milliseconds>(
                             delayOf(kDelayMillisToken, 255) * (kMaxTokens / 2));
}

} // namespace compiler
