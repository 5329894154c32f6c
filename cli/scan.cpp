#include "cli/scan.h"

#include "cli/session.h"

#include "compiler/compiler.h"
#include "protocol/decoder.h"
#include "protocol/frames.h"
#include "protocol/outcome.h"
#include "util/ascii.h"
#include "util/constants.h"
#include "util/hex.h"

namespace cli {

namespace {

// Start, Write and its byte, Stop.
constexpr std::size_t kTokensPerProbe = 4;
// "S", "Whha" or "Whhn", "P".
constexpr std::size_t kAnswersPerProbe = 3;

bool isLetter(std::string_view token, char upper) {
    return token.size() == 1 && util::asciiUpper(token[0]) == upper;
}

} // namespace

std::vector<ScanFrame> scanFrames() {
    constexpr int perFrame = static_cast<int>(compiler::kMaxTokens / kTokensPerProbe);
    std::vector<ScanFrame> frames;
    for (int first = kFirstScanAddress; first <= kLastScanAddress; first += perFrame) {
        ScanFrame frame;
        for (int a = first; a < first + perFrame && a <= kLastScanAddress; ++a) {
            frame.addresses.push_back(a);
            frame.queue.append("Start").append(util::CRLF);
            frame.queue.append("Write 0x").append(util::hexpad(a * 2, 2)).append(util::CRLF);
            frame.queue.append("Stop").append(util::CRLF);
        }
        frames.push_back(std::move(frame));
    }
    return frames;
}

bool readScanAnswer(std::string_view frame, const std::vector<int>& addresses, Presence& present) {
    if (protocol::commandCodeOf(frame) != protocol::code::Script) return false;
    std::vector<std::string_view> tokens;
    protocol::forEachRxToken(frame, [&](std::string_view t) { tokens.push_back(t); });
    if (tokens.size() != kAnswersPerProbe * addresses.size()) return false;
    std::vector<int> acknowledged;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const auto write = tokens[kAnswersPerProbe * i + 1];
        if (!isLetter(tokens[kAnswersPerProbe * i], 'S') ||
            !isLetter(tokens[kAnswersPerProbe * i + 2], 'P') || write.size() != 4 ||
            util::asciiUpper(write[0]) != 'W')
            return false;
        if (util::asciiUpper(write.substr(1, 2)) != util::hexpad(addresses[i] * 2, 2)) return false;
        const char ack = util::asciiLower(write[3]);
        if (ack != protocol::exec::Ack && ack != protocol::exec::Failed) return false;
        if (ack == protocol::exec::Ack) acknowledged.push_back(addresses[i]);
    }
    for (int a : acknowledged)
        present[static_cast<std::size_t>(a)] = true;
    return true;
}

bool probeBus(Session& session, std::chrono::milliseconds limit, Presence& present) {
    const auto frames = scanFrames();
    std::size_t answeredFrames = 0;
    // Only the answer to the frame sent last counts: a stored script that
    // the edge trigger runs meanwhile may write anything.
    session.onFrame = [&](std::string_view frame) {
        if (answeredFrames < frames.size() &&
            readScanAnswer(frame, frames[answeredFrames].addresses, present))
            ++answeredFrames;
    };
    bool answered = true;
    for (std::size_t sent = 0; answered && sent < frames.size(); ++sent) {
        session.send(compiler::compile(frames[sent].queue).frame);
        answered = session.waitUntil([&] { return answeredFrames > sent; }, limit);
    }
    session.onFrame = nullptr;
    return answered;
}

std::string scanGrid(const Presence& present) {
    std::string grid = "   ";
    for (int column = 0; column < 16; ++column)
        grid.append("  ").append(util::hexpad(column, 1));
    grid += '\n';
    for (int row = 0; row < 128; row += 16) {
        std::string line = util::hexpad(row, 2) + ":";
        for (int a = row; a < row + 16; ++a) {
            if (a < kFirstScanAddress || a > kLastScanAddress)
                line += "   ";
            else
                line.append(" ").append(present[static_cast<std::size_t>(a)] ? util::hexpad(a, 2)
                                                                             : "--");
        }
        while (line.back() == ' ')
            line.pop_back();
        grid.append(line) += '\n';
    }
    return grid;
}

std::string scanNote(const Presence& present) {
    int example = 0x48;
    for (int a = kLastScanAddress; a >= kFirstScanAddress; --a)
        if (present[static_cast<std::size_t>(a)]) example = a;
    return "Addresses are 7-bit. A script writes one shifted left, the direction in bit 0:\n" +
           util::hexpad(example, 2) + " is Write 0x" + util::hexpad(example * 2, 2) +
           " to write, Write 0x" + util::hexpad(example * 2 + 1, 2) + " to read.\n";
}

} // namespace cli
