#include "sim/model.h"

#include "protocol/frames.h"
#include "util/ascii.h"
#include "util/hex.h"

#include <algorithm>
#include <utility>

namespace sim {

namespace {

namespace code = protocol::code;
namespace exec = protocol::exec;
using protocol::responseFrame;

// Characters from pos on, at most count; empty past the end.
std::string_view part(std::string_view text, std::size_t pos,
                      std::size_t count = std::string_view::npos) {
    return pos < text.size() ? text.substr(pos, count) : std::string_view{};
}

Emissions answer(std::string_view code, std::string_view data) {
    return {{std::chrono::microseconds{0}, responseFrame(code, data)}};
}

Emissions answer(std::string_view code, char execution) {
    return answer(code, std::string_view(&execution, 1));
}

// The code field goes back as received; what could not stand in a response
// frame (a control character, a second "!") is sent as "?".
Emissions malformed(std::string_view codeField) {
    std::string shown(codeField);
    std::replace_if(
        shown.begin(), shown.end(),
        [](char c) { return c < ' ' || c > '~' || c == protocol::kResponseStart; }, '?');
    return answer(shown, exec::Framing);
}

bool isControl(std::string_view code) {
    return std::any_of(protocol::kControlCommands.begin(), protocol::kControlCommands.end(),
                       [&](const auto& command) { return command.commandCode == code; });
}

std::vector<std::uint8_t> bytesOf(std::string_view hex) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(util::hextolong(hex.substr(i, 2))));
    return bytes;
}

Emission interruptReport(bool high) {
    return {std::chrono::microseconds{0}, responseFrame(code::Interrupt, high ? "1" : "0")};
}

} // namespace

Module::Module(Model model, std::string revision)
    : m_model(model), m_revision(std::move(revision)) {}

Emissions Module::handleFrame(std::string_view frame) {
    if (m_sniffing) return {};
    const bool complete = !frame.empty() && frame.back() == protocol::kTerminator;
    std::string_view body = frame;
    if (!body.empty() && body.front() == protocol::kCommandStart) body.remove_prefix(1);
    if (complete) body.remove_suffix(1);

    const auto address = part(body, 0, 2);
    const auto codeField = part(body, 2, 2);
    if (address.size() == 2 && util::isHexText(address) && address != protocol::kUnitAddress)
        return {};
    if (!complete || address != protocol::kUnitAddress || codeField.size() != 2 ||
        !util::isHexText(codeField))
        return malformed(codeField);

    const std::string code = util::asciiUpper(codeField);
    const auto data = part(body, 4);
    if (code == code::Script) return script(codeField, data);
    if (!isControl(code)) return answer(code, exec::Unknown);
    if (!data.empty()) return malformed(codeField);
    return control(code);
}

Emissions Module::script(std::string_view codeField, std::string_view data) {
    if (data.size() < 2 || data.size() % 2 != 0 || !util::isHexText(data))
        return malformed(codeField);
    const auto count = static_cast<std::size_t>(util::hextolong(data.substr(0, 2)));
    auto tokens = bytesOf(data.substr(2));
    if (count != tokens.size() + 1 || count > protocol::kMaxCountField) return malformed(codeField);

    const auto ran = runScript(tokens, m_speed, m_pins, m_bus);
    m_lastRan = std::move(tokens);
    return {{ran.duration, responseFrame(code::Script, ran.rxTokens)}};
}

Emissions Module::control(std::string_view code) {
    if (code == code::Version) {
        const auto model =
            m_model == Model::Tamb ? protocol::kModelMasterOnly : protocol::kModelMasterSlave;
        return answer(code,
                      std::string(protocol::kHardwareFamily) + std::string(model) + m_revision);
    }
    if (code == code::Configuration) {
        const auto flag = [](bool on) { return on ? '1' : '0'; };
        return answer(code, std::to_string(kSupplyMillivolts[m_pins.supply]) +
                                flag(m_speed == Speed::Fast) + flag(m_trigger) +
                                flag(m_risingEdge));
    }
    if (code == code::Store) {
        if (!m_lastRan) return answer(code, exec::Empty);
        m_stored = StoredScript{*m_lastRan, m_speed};
        return answer(code, exec::Ack);
    }
    if (code == code::Replay) {
        if (!m_stored) return answer(code, exec::Empty);
        auto out = Emissions{run(*m_stored)};
        out.push_back(answer(code, exec::Ack).front());
        return out;
    }
    if (code == code::Slave) {
        // Only the tolk has the slave hardware; from now on it only listens.
        if (m_model == Model::Tamb) return answer(code, exec::Failed);
        m_sniffing = true;
        return answer(code, exec::Ack);
    }
    if (code == code::EdgeHighToLow || code == code::EdgeLowToHigh)
        m_risingEdge = code == code::EdgeLowToHigh;
    else if (code == code::TriggerOn || code == code::TriggerOff)
        m_trigger = code == code::TriggerOn;
    else if (code == code::SpeedSlow || code == code::SpeedFast)
        m_speed = code == code::SpeedFast ? Speed::Fast : Speed::Slow;
    return answer(code, exec::Ack);
}

Emission Module::run(const StoredScript& stored) {
    const auto ran = runScript(stored.tokens, stored.speed, m_pins, m_bus);
    return {ran.duration, responseFrame(code::Script, ran.rxTokens)};
}

Emissions Module::setInterrupt(bool high) {
    if (high == m_pins.interrupt) return {};
    m_pins.interrupt = high;
    if (m_sniffing) return {};
    Emissions out{interruptReport(high)};
    if (m_trigger && high == m_risingEdge && m_stored) out.push_back(run(*m_stored));
    return out;
}

Emissions Module::floodStep() {
    m_pins.interrupt = !m_pins.interrupt;
    if (m_sniffing) return {};
    return {interruptReport(m_pins.interrupt)};
}

Emissions Module::reset(int status) {
    Pins fresh;
    fresh.interrupt = m_pins.interrupt;
    m_pins = fresh;
    m_bus.abandon();
    m_sniffing = false;
    m_lastRan.reset();
    return answer(code::Reset, util::hexpad(status, 2));
}

Emissions Module::powerUp() {
    return reset(protocol::kPowerUpBit);
}

Emissions Module::announce() const {
    if (m_sniffing) return {};
    return answer(code::Reset, util::hexpad(protocol::kPowerUpBit, 2));
}

Emissions Module::watchdogReset() {
    return reset(0);
}

} // namespace sim
