#pragma once
// The wire format between program and module: frame templates, command codes,
// execution codes and the fixed control frames.
#include <array>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace protocol {

inline constexpr char kCommandStart = '$';
inline constexpr char kResponseStart = '!';
inline constexpr char kTerminator = '\r';
inline constexpr std::string_view kUnitAddress = "00";
inline constexpr std::string_view kPortSettings = "115200,n,8,1";
inline constexpr int kLineSpeed = 115200;
// 10 bits a character on an 8N1 line.
inline constexpr int kCharactersPerSecond = kLineSpeed / 10;

namespace code {
inline constexpr std::string_view Version = "00";
inline constexpr std::string_view Script = "10";
inline constexpr std::string_view Store = "11";
inline constexpr std::string_view Replay = "12";
inline constexpr std::string_view EdgeHighToLow = "13";
inline constexpr std::string_view EdgeLowToHigh = "14";
inline constexpr std::string_view TriggerOn = "15";
inline constexpr std::string_view TriggerOff = "16";
inline constexpr std::string_view SpeedSlow = "17";
inline constexpr std::string_view SpeedFast = "18";
inline constexpr std::string_view Configuration = "19";
inline constexpr std::string_view Reset = "1A";
inline constexpr std::string_view Interrupt = "20";
inline constexpr std::string_view Slave = "FF";
inline constexpr std::string_view SlaveAlias = "7F";
inline constexpr std::string_view Data = "FE";
inline constexpr std::string_view DataAlias = "7E";
} // namespace code

namespace exec {
inline constexpr char Ack = 'a';
inline constexpr char Failed = 'n';
inline constexpr char Framing = 'f';
inline constexpr char Unknown = '?';
inline constexpr char Empty = 'e';
} // namespace exec

// Pause after sending, in hundredths of a second.
inline constexpr int kControlWait = 10;
inline constexpr int kScriptWait = 1;

// A pause of that many hundredths of a second.
constexpr std::chrono::milliseconds pauseOf(int hundredths) {
    return std::chrono::milliseconds(hundredths * 10);
}

// Version report fields.
inline constexpr std::string_view kHardwareFamily = "0153";
inline constexpr std::string_view kModelMasterOnly = "00";
inline constexpr std::string_view kModelMasterSlave = "01";

// Reset report status bit that marks a power-up (clear: watchdog reset).
inline constexpr int kPowerUpBit = 8;

// The module takes at most this count field (tokens + 1) in a script frame.
inline constexpr std::size_t kMaxCountField = 125;

// "$00" + code + CR: the control frames carry no data.
std::string commandFrame(std::string_view commandCode, std::string_view data = {});

// "$0010" + count field (tokens + 1, two hex digits) + tokens + CR.
std::string scriptFrame(std::string_view tokens);

// "!00" + code + data + CR.
std::string responseFrame(std::string_view commandCode, std::string_view data = {});

// How the one-line buffer boxes show a frame: without its last character
// (the CR), then "[cr]".
std::string boxText(std::string_view frame);

// How the transmit log shows a frame: every CR as "[cr]", every LF as "[lf]".
std::string echoText(std::string_view frame);

struct ControlCommand {
    std::string_view commandCode;
    std::string_view meaning;
};

// The commands the control buttons send, without data, each answered by one frame.
inline constexpr auto kControlCommands = std::to_array<ControlCommand>({
    {code::Version, "report the firmware version"},
    {code::Store, "store the last script in the module"},
    {code::Replay, "replay the stored script"},
    {code::EdgeHighToLow, "interrupt edge high-to-low"},
    {code::EdgeLowToHigh, "interrupt edge low-to-high"},
    {code::TriggerOn, "edge trigger on"},
    {code::TriggerOff, "edge trigger off"},
    {code::SpeedSlow, "I2C speed slow, 100 kbps"},
    {code::SpeedFast, "I2C speed fast, 400 kbps"},
    {code::Configuration, "report the configuration"},
    {code::Slave, "switch to bus-sniffer (slave) mode"},
});

} // namespace protocol
