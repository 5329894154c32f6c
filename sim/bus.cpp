#include "sim/bus.h"

#include <algorithm>
#include <cmath>

namespace sim {

void Lm75::select(bool forRead) {
    m_takesPointer = !forRead;
    m_byte = 0;
}

bool Lm75::write(std::uint8_t byte) {
    if (m_takesPointer) {
        // The pointer register has two bits; the sensor acknowledges any byte.
        m_pointer = byte & 0x03;
        m_takesPointer = false;
        m_byte = 0;
        return true;
    }
    auto& reg = m_registers[m_pointer];
    const auto i = m_byte++ % reg.size;
    reg.bytes[i] =
        static_cast<std::uint8_t>((reg.bytes[i] & ~reg.writable[i]) | (byte & reg.writable[i]));
    return true;
}

std::uint8_t Lm75::read() {
    const auto& reg = m_registers[m_pointer];
    return reg.bytes[m_byte++ % reg.size];
}

void Lm75::setTemperature(double celsius) {
    if (std::isnan(celsius)) return;
    const auto halfDegrees = std::lround(std::clamp(celsius, kMinCelsius, kMaxCelsius) * 2);
    // Nine-bit two's complement, left-aligned in the two bytes.
    const auto raw = static_cast<std::uint16_t>(halfDegrees * 128);
    m_registers[0].bytes = {static_cast<std::uint8_t>(raw >> 8),
                            static_cast<std::uint8_t>(raw & 0xFF)};
}

std::array<std::uint8_t, Eeprom::kSize> Eeprom::filled() {
    std::array<std::uint8_t, kSize> erased;
    erased.fill(0xFF);
    return erased;
}

void Eeprom::select(bool forRead) {
    m_takesAddress = !forRead;
    m_pageWritten = 0;
}

bool Eeprom::write(std::uint8_t byte) {
    if (m_takesAddress) {
        m_address = byte;
        m_takesAddress = false;
        return true;
    }
    const auto inPage = static_cast<std::uint8_t>(m_address % kPageSize);
    m_page[inPage] = byte;
    m_pageWritten |= static_cast<std::uint8_t>(1u << inPage);
    // The counter rolls over within the page, so a long write wraps to its start.
    m_address = static_cast<std::uint8_t>(m_address - inPage + (inPage + 1) % kPageSize);
    return true;
}

std::uint8_t Eeprom::read() {
    return m_memory[m_address++];
}

void Eeprom::end(bool stop) {
    if (stop) {
        const std::size_t base = m_address - m_address % kPageSize;
        for (std::size_t i = 0; i < kPageSize; ++i)
            if (m_pageWritten & (1u << i)) m_memory[base + i] = m_page[i];
    }
    m_pageWritten = 0;
    m_takesAddress = false;
}

Device* Bus::deviceAt(std::uint8_t address) {
    switch (address & 0xFE) {
    case Lm75::kAddress:
        return &m_lm75;
    case Eeprom::kAddress:
        return &m_eeprom;
    default:
        return nullptr;
    }
}

void Bus::release(bool stop) {
    if (m_selected) m_selected->end(stop);
    m_selected = nullptr;
}

void Bus::start() {
    release(false);
    m_phase = Phase::Address;
}

bool Bus::write(std::uint8_t byte) {
    switch (m_phase) {
    case Phase::Address: {
        m_selected = deviceAt(byte);
        if (!m_selected) {
            m_phase = Phase::Ignored;
            return false;
        }
        const bool forRead = byte & 1;
        m_selected->select(forRead);
        m_phase = forRead ? Phase::Reading : Phase::Writing;
        return true;
    }
    case Phase::Writing:
        return m_selected->write(byte);
    default:
        // No Start, nobody addressed, or a slave that is sending: no one listens.
        return false;
    }
}

std::uint8_t Bus::read(bool masterAck) {
    if (m_phase != Phase::Reading) {
        // The master clocks in the released line; an address slot is used up.
        if (m_phase == Phase::Address) m_phase = Phase::Ignored;
        return 0xFF;
    }
    const auto byte = m_selected->read();
    if (!masterAck) m_phase = Phase::Ignored;
    return byte;
}

void Bus::stop() {
    release(true);
    m_phase = Phase::Idle;
}

void Bus::abandon() {
    release(false);
    m_phase = Phase::Idle;
}

} // namespace sim
