#include "bus/picture.h"

#include "protocol/frames.h"
#include "protocol/outcome.h"
#include "util/utf8.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstdio>
#include <utility>

namespace bus {

namespace {

constexpr double kPadding = 5;
constexpr double kGap = 3;

// Characters, not bytes: "°" is one.
std::size_t characters(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++n) {
        const std::size_t length = util::utf8Length(text.substr(i));
        i += length ? length : 1;
    }
    return n;
}

double widthOf(std::string_view label) {
    return double(characters(label)) * kCharWidth + 2 * kPadding;
}

// The view's lines as one: tabs and line ends as single blanks.
std::string oneLine(std::string_view text) {
    std::string line;
    for (const char c : text) {
        const bool blank = c == '\t' || c == '\r' || c == '\n' || c == ' ';
        if (blank && (line.empty() || line.back() == ' ')) continue;
        line += blank ? ' ' : c;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string numberForms(std::uint8_t byte) {
    return hexByte(byte) + " = " + std::to_string(byte) + " = 0b" +
           std::bitset<8>(byte).to_string();
}

std::string ackWords(const Box& box) {
    switch (box.ack) {
    case Ack::Ack:
        return box.read && box.kind == BoxKind::Data ? "Ack: the master asks for more"
                                                     : "Ack: the slave took it";
    case Ack::Nack:
        return box.read && box.kind == BoxKind::Data ? "Nack: the master's last byte"
                                                     : "Nack: no slave took it";
    case Ack::None:
        break;
    }
    return "no acknowledgement reported";
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

std::string hexColour(const std::optional<controls::Rgb>& rgb) {
    if (!rgb) return "#000000";
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb->red, rgb->green, rgb->blue);
    return text;
}

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // Control characters are not XML; a tab or line end stays.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t') out += c;
        }
    }
    return out;
}

const char* className(BoxKind kind) {
    switch (kind) {
    case BoxKind::Condition:
        return "condition";
    case BoxKind::Address:
        return "address";
    case BoxKind::Data:
        return "data";
    case BoxKind::Ack:
        return "ack";
    case BoxKind::Mark:
        return "mark";
    case BoxKind::Report:
        return "report";
    }
    return "";
}

} // namespace

std::string Row::caption() const {
    std::string text;
    for (const auto& meaning : meanings)
        text += (text.empty() ? "" : "; ") + meaning;
    return text;
}

std::string tipOf(const Row& row, const Box& box) {
    // An acknowledgement says what its byte says.
    if (box.kind == BoxKind::Ack && &box > row.boxes.data()) return tipOf(row, *(&box - 1));
    std::string tip;
    switch (box.kind) {
    case BoxKind::Condition:
        tip = box.label == "S"    ? "Start: the master takes the bus"
              : box.label == "Sr" ? "Repeated start: the master keeps the bus"
                                  : "Stop: the master lets the bus go";
        break;
    case BoxKind::Address:
        tip = numberForms(box.byte) + "\naddress " + hexByte(box.byte >> 1) +
              (box.read ? ", read" : ", write") + "\n" + ackWords(box);
        break;
    case BoxKind::Data:
        tip = numberForms(box.byte) +
              (box.read ? "\nread by the master\n" : "\nwritten by the master\n") + ackWords(box);
        break;
    case BoxKind::Mark:
        tip = oneLine(box.detail);
        if (box.byte || box.detail.find("0x") != std::string::npos)
            tip += "\n" + numberForms(box.byte);
        break;
    case BoxKind::Report:
        tip = box.detail;
        break;
    }
    if (box.transaction >= 0 && std::size_t(box.transaction) < row.meanings.size())
        tip += "\n" + row.meanings[std::size_t(box.transaction)];
    return tip;
}

Picture::Picture(double width) : m_width(std::max(width, 200.0)) {}

void Picture::clear() {
    m_boxes = 0;
    m_dropped += m_rows.size();
    m_rows.clear();
    m_pending.clear();
    m_x = kMargin;
    ++m_revision;
}

double Picture::top() const {
    return m_rows.empty() ? m_nextTop : m_rows.front().top;
}

double Picture::bottom() const {
    return m_rows.empty() ? m_nextTop : m_rows.back().top + m_rows.back().height;
}

Row& Picture::row(bool transfer) {
    if (!m_rows.empty() && !m_rows.back().closed && (m_rows.back().transfer || !transfer))
        return m_rows.back();
    closeRow();
    Row fresh;
    fresh.top = m_nextTop;
    fresh.height = kLinePitch + kRowGap;
    fresh.transfer = transfer;
    m_rows.push_back(std::move(fresh));
    m_x = kMargin;
    return m_rows.back();
}

void Picture::closeRow() {
    if (m_rows.empty() || m_rows.back().closed) return;
    m_rows.back().closed = true;
    m_nextTop = m_rows.back().top + m_rows.back().height;
}

// extra: the width of what must stand beside the box on its line (its ack).
void Picture::addBox(Box box, double extra) {
    Row* r = &m_rows.back();
    if (m_x > kMargin && m_x + box.width + extra > m_width - kMargin) {
        if (r->transfer) {
            r->height += kLinePitch;
            ++r->lines;
        } else {
            const bool transfer = r->transfer;
            closeRow();
            r = &row(transfer);
        }
        m_x = kMargin;
    }
    box.x = m_x;
    box.y = r->top + (r->lines - 1) * kLinePitch + (kLinePitch - kBoxHeight) / 2;
    m_x += box.width + (box.kind == BoxKind::Address || box.kind == BoxKind::Data ? 0 : kGap);
    if (box.kind == BoxKind::Address || box.kind == BoxKind::Data)
        m_pending.emplace_back(m_dropped + m_rows.size() - 1, r->boxes.size());
    r->boxes.push_back(std::move(box));
    ++m_boxes;
}

void Picture::record(std::vector<Transaction> ended) {
    for (auto& t : ended) {
        if (m_pending.empty()) continue;
        const std::size_t number = m_pending.front().first;
        const auto pending = std::exchange(m_pending, {});
        // A row dropped or closed meanwhile keeps its place.
        if (number < m_dropped || number - m_dropped >= m_rows.size()) continue;
        Row& r = m_rows[number - m_dropped];
        if (r.closed) continue;
        r.height += kCaptionHeight;
        const int index = int(r.meanings.size());
        r.meanings.push_back(std::move(t.meaning));
        for (const auto& [rowNumber, box] : pending)
            if (rowNumber == number && box < r.boxes.size()) {
                r.boxes[box].transaction = index;
                if (box + 1 < r.boxes.size() && r.boxes[box + 1].kind == BoxKind::Ack)
                    r.boxes[box + 1].transaction = index;
            }
    }
}

void Picture::place(const Step& step) {
    record(m_explainer.add(step));
    const std::optional<controls::Rgb> colour = controls::groupRgb(step.group);
    switch (step.kind) {
    case StepKind::Start:
    case StepKind::RepeatedStart:
    case StepKind::Stop: {
        const std::string label = step.kind == StepKind::Start  ? "S"
                                  : step.kind == StepKind::Stop ? "P"
                                                                : "Sr";
        row(step.kind != StepKind::Stop || m_rows.empty() || m_rows.back().closed ||
            m_rows.back().transfer);
        addBox({.kind = BoxKind::Condition,
                .width = widthOf(label),
                .label = label,
                .colour = colour});
        if (step.kind == StepKind::Stop) closeRow();
        break;
    }
    case StepKind::Address:
    case StepKind::Data: {
        row(false);
        std::string label = hexByte(step.kind == StepKind::Address ? step.address() : step.byte);
        if (step.kind == StepKind::Address) label += step.read ? " R" : " W";
        const std::string ack = step.ack == Ack::Ack ? "A" : step.ack == Ack::Nack ? "N" : "?";
        const double ackWidth = widthOf(ack);
        Box byte{.kind = step.kind == StepKind::Address ? BoxKind::Address : BoxKind::Data,
                 .width = widthOf(label),
                 .label = label,
                 .colour = colour,
                 .byte = step.byte,
                 .read = step.read,
                 .ack = step.ack};
        addBox(byte, ackWidth);
        Box ackBox = byte;
        ackBox.kind = BoxKind::Ack;
        ackBox.label = ack;
        ackBox.width = ackWidth;
        // The master's Nack ends a read; only a slave's refusal is an alarm.
        ackBox.alarm = step.ack == Ack::Nack && !(step.read && step.kind == StepKind::Data);
        addBox(std::move(ackBox));
        break;
    }
    case StepKind::Mark:
    case StepKind::Report: {
        row(false);
        std::string label = oneLine(step.text);
        std::uint8_t byte = 0;
        if (const auto hex = step.text.find("0x");
            hex != std::string::npos && hex + 3 < step.text.size() + 1)
            byte = static_cast<std::uint8_t>(
                std::stoi("0" + step.text.substr(hex + 2, 2), nullptr, 16));
        addBox({.kind = step.kind == StepKind::Mark ? BoxKind::Mark : BoxKind::Report,
                .width = widthOf(label),
                .label = std::move(label),
                .colour = step.kind == StepKind::Mark ? colour : std::nullopt,
                .alarm = step.bad,
                .byte = byte,
                .detail = step.text});
        break;
    }
    }
}

void Picture::addFrame(std::string_view frame) {
    bool clearView = false;
    const auto steps = m_reader.read(frame, &clearView);
    const bool script = protocol::commandCodeOf(frame) == protocol::code::Script;
    if (clearView) {
        m_explainer.finish(); // what a cut transfer leaves is not explained
        clear();
    }
    if (steps.empty() && !clearView) return;
    for (const auto& step : steps)
        place(step);
    if (script) {
        record(m_explainer.finish());
        closeRow();
    }
    while (m_boxes > kMaxBoxes && m_rows.size() > 1) {
        m_boxes -= m_rows.front().boxes.size();
        m_rows.pop_front();
        ++m_dropped;
    }
    ++m_revision;
}

PageSize pageSize(const Picture& picture, std::size_t first, std::size_t last) {
    const auto& rows = picture.rows();
    last = std::min(last, rows.size());
    first = std::min(first, last);
    const double top = first < last ? rows[first].top : 0;
    const double height =
        (first < last ? rows[last - 1].top + rows[last - 1].height - top : 0) + 2 * kMargin;
    double width = picture.width();
    for (std::size_t i = first; i < last; ++i)
        for (const auto& meaning : rows[i].meanings)
            width = std::max(width, 2 * kMargin + double(characters(meaning)) * kCharWidth);
    return {std::ceil(width), std::ceil(height)};
}

std::string svgOf(const Picture& picture, std::size_t first, std::size_t last) {
    const auto& rows = picture.rows();
    last = std::min(last, rows.size());
    first = std::min(first, last);
    const double top = first < last ? rows[first].top : 0;
    const auto [width, height] = pageSize(picture, first, last);
    const double dy = kMargin - top;
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) + "\" height=\"" +
           number(height) + "\" viewBox=\"0 0 " + number(width) + " " + number(height) +
           "\" font-family=\"DejaVu Sans Mono, monospace\" font-size=\"" + number(kFontPixels) +
           "\">\n";
    svg += "<rect class=\"page\" width=\"" + number(width) + "\" height=\"" + number(height) +
           "\" fill=\"#ffffff\"/>\n";
    for (std::size_t i = first; i < last; ++i) {
        const Row& row = rows[i];
        svg += std::string("<g class=\"") + (row.transfer ? "transfer" : "steps") + "\">\n";
        for (const Box& box : row.boxes) {
            const std::string colour = hexColour(box.colour);
            svg += std::string("<g class=\"") + className(box.kind) + (box.alarm ? " alarm" : "") +
                   "\"><title>" + escaped(tipOf(row, box)) + "</title>";
            svg += "<rect x=\"" + number(box.x) + "\" y=\"" + number(box.y + dy) + "\" width=\"" +
                   number(box.width) + "\" height=\"" + number(kBoxHeight) + "\" rx=\"" +
                   (box.kind == BoxKind::Condition ? "9" : "2") + "\" fill=\"" +
                   (box.alarm ? "#ffd0d0" : "#ffffff") + "\" stroke=\"" + colour + "\"/>";
            svg += "<text x=\"" + number(box.x + box.width / 2) + "\" y=\"" +
                   number(box.y + dy + kBoxHeight / 2 + kFontPixels * 0.35) +
                   "\" text-anchor=\"middle\" fill=\"" + colour + "\">" + escaped(box.label) +
                   "</text></g>\n";
        }
        for (std::size_t m = 0; m < row.meanings.size(); ++m)
            svg += "<text class=\"caption\" x=\"" + number(kMargin) + "\" y=\"" +
                   number(row.captionY(m) + dy + kFontPixels) + "\" fill=\"#000000\">" +
                   escaped(row.meanings[m]) + "</text>\n";
        svg += "</g>\n";
    }
    svg += "</svg>\n";
    return svg;
}

} // namespace bus
