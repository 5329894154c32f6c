#include "bus/steps.h"

#include "protocol/decoder.h"
#include "protocol/frames.h"
#include "protocol/outcome.h"
#include "util/ascii.h"
#include "util/hex.h"

namespace bus {

namespace {

std::string withoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

compiler::Group markGroup(char letter) {
    switch (letter) {
    case 'D':
    case 'd':
        return compiler::Group::Delay;
    case '0':
    case '1':
    case 's':
        return compiler::Group::Speed;
    case '7':
        return compiler::Group::Supply;
    case '8':
    case '9':
        return compiler::Group::Lines;
    default:
        return compiler::Group::Output;
    }
}

} // namespace

std::vector<Step> StepReader::read(std::string_view frame, bool* clearView) {
    const auto effect = protocol::decodeFrame(frame);
    if (clearView) *clearView = effect.clearView;
    std::vector<Step> steps;
    if (protocol::commandCodeOf(frame) != protocol::code::Script) {
        if (effect.clearView) m_open = m_addressDue = false;
        std::string text = withoutLineEnd(effect.append);
        if (!text.empty()) steps.push_back({.kind = StepKind::Report, .text = std::move(text)});
        return steps;
    }
    m_open = m_addressDue = false;
    protocol::forEachRxToken(frame, [&](std::string_view token) {
        std::string text = withoutLineEnd(protocol::tokenText(token));
        if (text.empty()) return;
        Step step{.text = std::move(text)};
        const char letter = token.front();
        switch (util::asciiLower(letter)) {
        case 's':
            if (token.size() == 2) { // the speed answer
                step.group = compiler::Group::Speed;
                break;
            }
            step.kind = m_open ? StepKind::RepeatedStart : StepKind::Start;
            m_open = m_addressDue = true;
            break;
        case 'p':
            step.kind = StepKind::Stop;
            m_open = m_addressDue = false;
            break;
        case 'w':
        case 'r': {
            const auto ack = token.size() >= 4 ? util::asciiLower(token[3]) : '\0';
            step.ack = ack == 'a' ? Ack::Ack : ack == 'n' ? Ack::Nack : Ack::None;
            step.byte = static_cast<std::uint8_t>(util::hextolong(token.substr(1, 2)));
            const bool written = util::asciiLower(letter) == 'w';
            if (m_addressDue && written) {
                step.kind = StepKind::Address;
                step.read = (step.byte & 1) != 0;
            } else {
                step.kind = StepKind::Data;
                step.read = !written;
            }
            m_addressDue = false;
            break;
        }
        case '?':
            step.bad = true;
            step.group = compiler::Group::Output;
            break;
        default:
            step.group = markGroup(letter);
            break;
        }
        steps.push_back(std::move(step));
    });
    return steps;
}

} // namespace bus
