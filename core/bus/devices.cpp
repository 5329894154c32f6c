#include "bus/devices.h"

#include "util/hex.h"

#include <cmath>
#include <cstdio>

namespace bus {

namespace {

std::string count(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

// Digits enough for the step: 0.5 gives one, 0.0625 four.
int decimalsOf(double step) {
    int decimals = 0;
    while (decimals < 6 && std::abs(step * std::pow(10, decimals) -
                                    std::round(step * std::pow(10, decimals))) > 1e-9)
        ++decimals;
    return decimals;
}

std::vector<std::uint8_t> valuesOf(const std::vector<ByteAck>& bytes, std::size_t from) {
    std::vector<std::uint8_t> values;
    for (std::size_t i = from; i < bytes.size(); ++i)
        values.push_back(bytes[i].value);
    return values;
}

// ", byte 2 not acknowledged" for the first data byte a slave refused.
std::string refusal(const Transaction& t) {
    for (std::size_t i = 0; i < t.bytes.size(); ++i)
        if (!t.read && t.bytes[i].ack == Ack::Nack)
            return " (byte " + std::to_string(i + 1) + " not acknowledged)";
    return {};
}

std::string registers(const Transaction& t, const Part& part, std::optional<unsigned>& position) {
    const std::string who = hexByte(t.address);
    if (t.bytes.empty()) return who + " " + std::string(part.name) + ": addressed";
    if (t.read) {
        if (!position)
            return who + " read: " + count(t.bytes.size()) + " from the register set earlier";
        const Register* reg = registerOf(part, static_cast<std::uint8_t>(*position));
        if (!reg)
            return who + " register " + hexByte(static_cast<std::uint8_t>(*position)) + ": " +
                   count(t.bytes.size());
        const auto value = registerValue(*reg, valuesOf(t.bytes, 0));
        return who + " " + std::string(reg->name) + ": " +
               value.value_or(std::to_string(t.bytes.size()) + " of " + count(reg->size));
    }
    position = t.bytes.front().value;
    const Register* reg = registerOf(part, t.bytes.front().value);
    if (t.bytes.size() == 1)
        return who + " pointer: " +
               (reg ? std::string(reg->name)
                    : hexByte(t.bytes.front().value) + ", no such register") +
               refusal(t);
    if (!reg)
        return who + " register " + hexByte(t.bytes.front().value) +
               " written: " + count(t.bytes.size() - 1) + refusal(t);
    const auto value = registerValue(*reg, valuesOf(t.bytes, 1));
    return who + " " + std::string(reg->name) + " written: " +
           value.value_or(std::to_string(t.bytes.size() - 1) + " of " + count(reg->size)) +
           refusal(t);
}

std::string memory(const Transaction& t, const Part& part, std::optional<unsigned>& position) {
    const std::string who = hexByte(t.address) + " " + std::string(part.name);
    const auto n = static_cast<unsigned>(t.bytes.size());
    if (t.bytes.empty()) return who + ": addressed";
    if (t.read) {
        if (!position) return who + " read at its current address: " + count(n);
        const std::string text =
            who + " read at " + hexByte(static_cast<std::uint8_t>(*position)) + ": " + count(n);
        position = (*position + n) % part.memorySize;
        return text;
    }
    const unsigned at = t.bytes.front().value % part.memorySize;
    if (n == 1) {
        position = at;
        return who + " address set to " + hexByte(static_cast<std::uint8_t>(at)) + refusal(t);
    }
    const unsigned data = n - 1;
    const unsigned page = at - at % part.pageSize;
    position = page + (at - page + data) % part.pageSize;
    return who + " write at " + hexByte(static_cast<std::uint8_t>(at)) + ": " + count(data) +
           (at - page + data > part.pageSize ? " (wraps within its page)" : "") + refusal(t);
}

} // namespace

std::string hexByte(std::uint8_t value) {
    return "0x" + util::hexpad(value, 2);
}

const Part* partAt(std::uint8_t address) {
    for (const auto& part : kParts)
        if (address >= part.first && address <= part.last) return &part;
    return nullptr;
}

const Register* registerOf(const Part& part, std::uint8_t pointer) {
    for (const auto& reg : kRegisters)
        if (reg.part == part.name && reg.pointer == pointer) return &reg;
    return nullptr;
}

std::optional<std::string> registerValue(const Register& reg,
                                         const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < reg.size) return std::nullopt;
    if (reg.format == Format::Hex) {
        std::string text;
        for (unsigned i = 0; i < reg.size; ++i)
            text += (i ? " " : "") + hexByte(bytes[i]);
        return text;
    }
    long raw = 0;
    for (unsigned i = 0; i < reg.size; ++i)
        raw = raw << 8 | bytes[i];
    const unsigned width = reg.size * 8;
    raw >>= width - reg.bits; // left-aligned
    if (raw & (1L << (reg.bits - 1))) raw -= 1L << reg.bits;
    char text[32];
    std::snprintf(text, sizeof text,
                  "%.*f \xC2\xB0"
                  "C",
                  decimalsOf(reg.step), double(raw) * reg.step);
    return text;
}

std::string Explainer::explain(const Transaction& t) {
    if (!t.addressed) return "bytes without an address: " + std::to_string(t.bytes.size());
    const std::string direction = t.read ? "read" : "write";
    if (t.addressAck == Ack::Nack) return hexByte(t.address) + " " + direction + ": no answer";
    const Part* part = partAt(t.address);
    if (!part)
        return hexByte(t.address) + " " + direction + ": " +
               (t.bytes.empty() ? std::string("no bytes") : count(t.bytes.size())) + refusal(t);
    std::optional<unsigned> position;
    if (auto known = m_position.find(t.address); known != m_position.end())
        position = known->second;
    std::string text = part->addressing == Addressing::Registers ? registers(t, *part, position)
                                                                 : memory(t, *part, position);
    if (position) m_position[t.address] = *position;
    return text;
}

std::vector<Transaction> Explainer::add(const Step& step) {
    std::vector<Transaction> ended;
    auto close = [&] {
        if (!m_open) return;
        m_open->meaning = explain(*m_open);
        ended.push_back(std::move(*m_open));
        m_open.reset();
    };
    switch (step.kind) {
    case StepKind::Start:
    case StepKind::RepeatedStart:
    case StepKind::Stop:
        close();
        break;
    case StepKind::Address:
        close();
        m_open = Transaction{.address = step.address(), .read = step.read, .addressAck = step.ack};
        break;
    case StepKind::Data:
        if (!m_open) m_open = Transaction{.addressed = false, .read = step.read};
        m_open->bytes.push_back({step.byte, step.ack});
        break;
    case StepKind::Mark:
    case StepKind::Report:
        break;
    }
    return ended;
}

std::vector<Transaction> Explainer::finish() {
    return add(Step{.kind = StepKind::Stop});
}

std::vector<Transaction> transactionsOf(std::string_view frame) {
    Explainer explainer;
    return transactionsOf(frame, explainer);
}

std::vector<Transaction> transactionsOf(std::string_view frame, Explainer& explainer) {
    StepReader reader;
    std::vector<Transaction> all;
    for (const auto& step : reader.read(frame))
        for (auto& t : explainer.add(step))
            all.push_back(std::move(t));
    for (auto& t : explainer.finish())
        all.push_back(std::move(t));
    return all;
}

} // namespace bus
