#include "bus/json.h"

#include "protocol/decoder.h"
#include "protocol/frames.h"
#include "protocol/outcome.h"
#include "util/utf8.h"

namespace bus {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

void escapeCode(std::string& out, unsigned code) {
    constexpr char kDigits[] = "0123456789abcdef";
    out += "\\u00";
    out += kDigits[code >> 4];
    out += kDigits[code & 15];
}

std::string ackJson(Ack ack) {
    return ack == Ack::Ack ? "true" : ack == Ack::Nack ? "false" : "null";
}

std::string withoutCr(std::string_view frame) {
    if (frame.ends_with('\r')) frame.remove_suffix(1);
    return std::string(frame);
}

std::string head(std::optional<std::string_view> time, std::string_view direction,
                 std::string_view frame) {
    return "{\"time\":" + (time ? jsonString(*time) : "null") + ",\"direction\":\"" +
           std::string(direction) + "\",\"frame\":" + jsonString(withoutCr(frame));
}

// The view's text cut at its line ends; an unfinished last line is one too.
std::string linesJson(std::string_view view) {
    std::string out = "[";
    while (!view.empty()) {
        const auto end = view.find(kLineEnd);
        if (out.size() > 1) out += ',';
        out += jsonString(view.substr(0, end));
        view.remove_prefix(end == view.npos ? view.size() : end + kLineEnd.size());
    }
    return out + "]";
}

} // namespace

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    while (!text.empty()) {
        const std::size_t length = util::utf8Length(text);
        const auto c = static_cast<unsigned char>(text[0]);
        if (length == 0) {
            escapeCode(out, c); // not UTF-8: the byte as its Latin-1 character
        } else if (length == 2 && c == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0) {
            // C1 controls are valid JSON, but could steer a terminal that shows them.
            escapeCode(out, static_cast<unsigned char>(text[1]));
        } else if (length > 1) {
            out.append(text.substr(0, length));
        } else if (c == '"' || c == '\\') {
            out.append({'\\', static_cast<char>(c)});
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            escapeCode(out, c);
        } else {
            out.push_back(static_cast<char>(c));
        }
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return out + "\"";
}

std::string transactionJson(const Transaction& t) {
    std::string out = "{\"address\":" + (t.addressed ? std::to_string(t.address) : "null") +
                      ",\"direction\":\"" + (t.read ? "read" : "write") +
                      "\",\"ack\":" + (t.addressed ? ackJson(t.addressAck) : "null") +
                      ",\"bytes\":[";
    for (std::size_t i = 0; i < t.bytes.size(); ++i)
        out += std::string(i ? "," : "") + "{\"value\":" + std::to_string(t.bytes[i].value) +
               ",\"ack\":" + ackJson(t.bytes[i].ack) + "}";
    return out + "],\"meaning\":" + jsonString(t.meaning) + "}";
}

std::string sentJson(std::optional<std::string_view> time, std::string_view frame) {
    return head(time, "sent", frame) + "}";
}

std::string receivedJson(std::optional<std::string_view> time, std::string_view frame,
                         const std::vector<Transaction>& transactions) {
    // The decoder reads a frame through its CR.
    const std::string whole = withoutCr(frame) + '\r';
    std::string out = head(time, "received", frame) +
                      ",\"lines\":" + linesJson(protocol::decodeFrame(whole).append);
    if (protocol::commandCodeOf(whole) != protocol::code::Script) return out + "}";
    out += ",\"transactions\":[";
    for (std::size_t i = 0; i < transactions.size(); ++i)
        out += (i ? "," : "") + transactionJson(transactions[i]);
    return out + "]}";
}

std::string scanJson(const std::vector<int>& addresses) {
    std::string out = "{\"scan\":[";
    for (std::size_t i = 0; i < addresses.size(); ++i)
        out += (i ? "," : "") + std::to_string(addresses[i]);
    return out + "]}";
}

std::string JsonStream::received(std::optional<std::string_view> time, std::string_view frame) {
    const std::string whole = withoutCr(frame) + '\r';
    return receivedJson(time, frame, transactionsOf(whole, m_explainer));
}

} // namespace bus
