#pragma once
// The simulated I2C bus and the two chips on it: an LM75 temperature sensor at
// 0x90/0x91 and a 256-byte 24C02 EEPROM at 0xA0/0xA1.
//
// Any order of conditions and bytes is taken: what a real bus would leave
// unanswered reads as nAck or as FF, never as an error. The chips keep their
// contents when the master is reset, as separate parts on a board would.
#include <array>
#include <cstddef>
#include <cstdint>

namespace sim {

// A slave chip as the bus drives it once it has been addressed.
class Device {
  public:
    virtual ~Device() = default;
    // Addressed after a Start, for reading or for writing.
    virtual void select(bool forRead) = 0;
    // A data byte from the master; true when the chip acknowledges it.
    virtual bool write(std::uint8_t byte) = 0;
    virtual std::uint8_t read() = 0;
    // The transfer ended by a Stop, or (stop false) by a repeated Start or a
    // reset of the master.
    virtual void end(bool stop) = 0;
};

class Lm75 : public Device {
  public:
    static constexpr std::uint8_t kAddress = 0x90;
    static constexpr double kMinCelsius = -55.0;
    static constexpr double kMaxCelsius = 125.0;

    void select(bool forRead) override;
    bool write(std::uint8_t byte) override;
    std::uint8_t read() override;
    void end(bool) override {}

    // Rounded to the sensor's 0.5 °C step and clamped to its range; NaN is ignored.
    void setTemperature(double celsius);

  private:
    struct Register {
        std::array<std::uint8_t, 2> bytes;
        std::size_t size;
        std::array<std::uint8_t, 2> writable; // the bits the sensor has; none: read-only
    };
    // Power-on values: 25.5 °C, config 0, Thyst 75 °C, Tos 80 °C; pointer 0.
    std::array<Register, 4> m_registers{{
        {{0x19, 0x80}, 2, {0x00, 0x00}},
        {{0x00, 0x00}, 1, {0x1F, 0x00}},
        {{0x4B, 0x00}, 2, {0xFF, 0x80}},
        {{0x50, 0x00}, 2, {0xFF, 0x80}},
    }};
    std::size_t m_pointer = 0;
    std::size_t m_byte = 0;      // position within the pointed register
    bool m_takesPointer = false; // the next written byte sets the pointer
};

class Eeprom : public Device {
  public:
    static constexpr std::uint8_t kAddress = 0xA0;
    static constexpr std::size_t kSize = 256;
    static constexpr std::uint8_t kPageSize = 8;

    void select(bool forRead) override;
    bool write(std::uint8_t byte) override;
    std::uint8_t read() override;
    // Page data is written to the array only at a Stop.
    void end(bool stop) override;

  private:
    std::array<std::uint8_t, kSize> m_memory = filled();
    std::uint8_t m_address = 0; // wraps at the top like the chip's counter
    bool m_takesAddress = false;
    std::array<std::uint8_t, kPageSize> m_page{};
    std::uint8_t m_pageWritten = 0; // one bit per page byte
    static std::array<std::uint8_t, kSize> filled();
};

class Bus {
  public:
    void start();
    // The first byte after a Start is the address; true when someone acknowledges.
    bool write(std::uint8_t byte);
    // masterAck false ends the slave's sending: later reads give FF.
    std::uint8_t read(bool masterAck);
    void stop();
    // The master was reset: an open transfer is abandoned without a Stop.
    void abandon();

    Lm75& lm75() { return m_lm75; }

  private:
    enum class Phase { Idle, Address, Writing, Reading, Ignored };
    Device* deviceAt(std::uint8_t address);
    void release(bool stop);

    Lm75 m_lm75;
    Eeprom m_eeprom;
    Device* m_selected = nullptr;
    Phase m_phase = Phase::Idle;
};

} // namespace sim
