#include "app/layout.h"

#include "app/colours.h"
#include "controls/formcodes.h"
#include "controls/tokenmenu.h"
#include "library/examples.h"

namespace app {

namespace {

using dialogs::ControlRow;
using dialogs::Font;
using dialogs::Kind;
using namespace dialogs; // flags

QString text(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

QStringList exampleTitles() {
    QStringList titles;
    for (const auto& e : library::kExamples)
        titles << QString::fromUtf8(e.title.data(), static_cast<qsizetype>(e.title.size()));
    return titles;
}

// Where the token menu's entries stand, keyed by their Label2 member, in the
// menu's order; what they say and do is core's (controls::kTokenMenu).
struct TokenPlace {
    int index;
    int top, width; // twips
};
constexpr int kTokenLeft = 9960;
constexpr int kTokenHeight = 255;
// clang-format off
constexpr TokenPlace kTokenPlaces[] = {
    {0, 360, 2295},
    {1, 600, 2295},
    {2, 840, 2295},
    {5, 1080, 2295},
    {3, 1320, 2295},
    {6, 1560, 2295},
    {4, 1860, 2295},
    {22, 2130, 2295},
    {7, 2400, 2115},
    {8, 2640, 2115},
    {9, 2880, 2115},
    {10, 3120, 2115},
    {11, 3360, 2115},
    {12, 3600, 2115},
    {13, 3840, 2115},
    {14, 4080, 2115},
    {15, 4320, 2115},
    {16, 4560, 2235},
    {17, 4800, 2115},
    {18, 5040, 2115},
    {19, 5280, 2115},
    {20, 5520, 2115},
    {21, 5760, 2115},
    {23, 6000, 2235},
    {24, 6240, 2235},
    {25, 6480, 2235},
    {26, 6720, 2235},
    {28, 6960, 2235},
    {27, 7200, 2235},
};
// clang-format on

constexpr bool placesFollowMenu() {
    if (std::size(kTokenPlaces) != controls::kTokenMenu.size()) return false;
    for (std::size_t i = 0; i < std::size(kTokenPlaces); ++i)
        if (kTokenPlaces[i].index != controls::kTokenMenu[i].index) return false;
    return true;
}
static_assert(placesFollowMenu(), "a token menu entry without its place, or out of order");

// One control a row, as the layout tables have them.
// clang-format off
Rows build() {
    Rows rows = {
        // Left column: quick commands and window buttons.
        {.name = "oneclick", .kind = Kind::CheckBox, .left = 60, .top = 60, .width = 255, .height = 255, .accessible = "Label1(3)"},
        {.name = "Label1(3)", .text = "One Click Commands", .left = 360, .top = 60, .width = 2595, .height = 315, .font = Font::Heading},
        {.name = cmmdName(controls::kCompileButton), .kind = Kind::Button, .text = "Compile/Transmit", .left = 60, .top = 360, .width = 2835, .height = 495, .font = Font::Large, .toolTip = "Compile the command queue and send it to the open port (Ctrl+Return in the queue)"},
    };
    for (int i = 0; i < controls::kQuickButtons; ++i)
        rows.push_back({.name = cmmdName(i), .kind = Kind::Button, .left = 60, .top = 900 + 360 * i, .width = 2835, .height = 315, .accessible = QStringLiteral("Quick command %1").arg(i + 1)});
    const Rows rest = {
        {.name = "Command4", .kind = Kind::Button, .text = "Load", .left = 60, .top = 7500, .width = 2835, .height = 315},
        {.name = "Command3", .kind = Kind::Button, .text = "Help", .left = 60, .top = 7860, .width = 1275, .height = 495, .toolTip = "Show or hide the help (F1; Esc hides it)"},
        {.name = "Command5", .kind = Kind::Button, .text = "Connector", .left = 60, .top = 8400, .width = 1275, .height = 495, .toolTip = "Show or hide the module's I2C connector (Esc hides it)"},
        {.name = "Label1(4)", .text = "Example Commands", .left = 1440, .top = 7920, .width = 1515, .height = 315},
        {.name = "Label1(5)", .text = "Transmit buffer", .left = 1440, .top = 8220, .width = 1515, .height = 315},
        {.name = "Label1(6)", .text = "Receive buffer", .left = 1440, .top = 8580, .width = 1515, .height = 315},

        // Centre: editor, activity view, lists and buffers.
        {.name = "Label1(1)", .text = "Command Queue", .left = 3060, .top = 0, .width = 3075, .height = 315, .font = Font::Heading, .flags = Centred},
        {.name = "commands", .kind = Kind::TextArea, .left = 3000, .top = 300, .width = 3315, .height = 7035, .font = Font::Fixed, .flags = VScroll | HScroll, .accessible = "Label1(1)"},
        {.name = "Label1(0)", .text = "I2C bus activity", .left = 6420, .top = 0, .width = 2955, .height = 315, .font = Font::Heading, .flags = Centred},
        {.name = "i2cparser", .kind = Kind::Custom, .left = 6420, .top = 300, .width = 3375, .height = 7035, .font = Font::Fixed, .flags = VScroll | HScroll | ReadOnly, .accessible = "Label1(0)"},
        {.name = "helpbox", .kind = Kind::Custom, .left = 3000, .top = 300, .width = 1515, .height = 7035, .flags = VScroll | ReadOnly | Hidden, .accessible = "Help"},
        {.name = "connection", .kind = Kind::Frame, .left = 6060, .top = 9240, .width = 735, .height = 315, .flags = Hidden, .accessible = "Connector"},
        {.name = "Combo2", .kind = Kind::ComboBox, .left = 3000, .top = 7500, .width = 6795, .height = 315, .items = {"<<< Press \"Load\" to get commands"}, .accessible = "User command list"},
        {.name = "Combo1", .kind = Kind::ComboBox, .left = 3000, .top = 7860, .width = 6795, .height = 315, .items = exampleTitles(), .accessible = "Label1(4)"},
        {.name = "txbufferbox", .kind = Kind::TextBox, .left = 3000, .top = 8220, .width = 6795, .height = 315, .flags = ReadOnly, .accessible = "Label1(5)"},
        {.name = "rxbufferbox", .kind = Kind::TextBox, .left = 3000, .top = 8580, .width = 6795, .height = 315, .flags = ReadOnly, .accessible = "Label1(6)"},
        {.name = "Line3", .kind = Kind::Line, .left = 0, .top = 7440, .width = 12360, .height = 0, .borderWidth = 4},

        // Right column: token menu.
        {.name = "oneclicktokens", .kind = Kind::CheckBox, .left = 9900, .top = 60, .width = 255, .height = 195, .toolTip = "Ticked, an entry of the token menu below replaces the queue and is sent at once. In the menu Up and Down move, Return or Space acts as a click, Right goes to a value box", .accessible = "Label1(2)"},
        {.name = "Label1(2)", .text = "One Click Tokens", .left = 10200, .top = 60, .width = 2055, .height = 315, .font = Font::Heading},
        {.name = "Shape2", .kind = Kind::Shape, .left = 9900, .top = 300, .width = 2355, .height = 7155, .borderWidth = 3},
    };
    rows.insert(rows.end(), rest.begin(), rest.end());

    for (std::size_t i = 0; i < controls::kTokenMenu.size(); ++i) {
        const auto& t = controls::kTokenMenu[i];
        const auto& place = kTokenPlaces[i];
        rows.push_back({.name = QStringLiteral("Label2(%1)").arg(t.index), .text = text(t.caption), .left = kTokenLeft, .top = place.top, .width = place.width, .height = kTokenHeight, .font = Font::Fixed, .color = groupColour(t.group), .toolTip = text(t.tip)});
    }

    for (auto [index, top] : {std::pair{2, 1560}, {3, 1800}, {4, 2400}, {1, 4560}, {8, 6000}})
        rows.push_back({.name = QStringLiteral("Line1(%1)").arg(index), .kind = Kind::Line, .left = 9900, .top = top, .width = 12240 - 9900, .height = 0, .borderWidth = 3});
    rows.push_back({.name = "Line1(7)", .kind = Kind::Line, .left = 10680, .top = 300, .width = 0, .height = 7440 - 300, .borderWidth = 2});

    const Rows values = {
        {.name = "tokenvalue(0)", .kind = Kind::TextBox, .text = "AA", .left = 11880, .top = 565, .width = 360, .height = 285, .flags = Centred, .maxLength = 2, .accessible = "Write value"},
        {.name = "tokenvalue(1)", .kind = Kind::TextBox, .text = "5", .left = 11880, .top = 1830, .width = 360, .height = 285, .flags = Centred, .maxLength = 2, .accessible = "Delayu value"},
        {.name = "tokenvalue(2)", .kind = Kind::TextBox, .text = "5", .left = 11880, .top = 2100, .width = 360, .height = 285, .flags = Centred, .maxLength = 2, .accessible = "Delaym value"},

        // Right column, bottom: module control buttons and the port list.
        {.name = "cmmd(19)", .kind = Kind::Button, .text = "H>L", .left = 9900, .top = 7500, .width = 495, .height = 315},
        {.name = "cmmd(20)", .kind = Kind::Button, .text = "L>H", .left = 10500, .top = 7500, .width = 495, .height = 315},
        {.name = "cmmd(26)", .kind = Kind::Button, .text = "Store Last", .left = 11100, .top = 7500, .width = 1155, .height = 315},
        {.name = "cmmd(21)", .kind = Kind::Button, .text = "On", .left = 9900, .top = 7860, .width = 495, .height = 315},
        {.name = "cmmd(22)", .kind = Kind::Button, .text = "Off", .left = 10500, .top = 7860, .width = 495, .height = 315},
        {.name = "cmmd(27)", .kind = Kind::Button, .text = "Run Stored", .left = 11100, .top = 7860, .width = 1155, .height = 315},
        {.name = "cmmd(23)", .kind = Kind::Button, .text = "Slow", .left = 9900, .top = 8220, .width = 495, .height = 315},
        {.name = "cmmd(24)", .kind = Kind::Button, .text = "Fast", .left = 10500, .top = 8220, .width = 495, .height = 315},
        {.name = "cmmd(25)", .kind = Kind::Button, .text = "Slave", .left = 11100, .top = 8220, .width = 1155, .height = 315},
        {.name = "cmmd(18)", .kind = Kind::Button, .text = "Ping", .left = 9900, .top = 8580, .width = 1095, .height = 315},
        {.name = "portselect", .kind = Kind::ComboBox, .left = 11100, .top = 8580, .width = 1155, .height = 315, .items = {"Select", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"}, .accessible = "Serial port"},

        // Holders below the visible client area.
        // Hidden: out of sight, they take no focus.
        {.name = "txdata", .kind = Kind::TextArea, .left = 60, .top = 9270, .width = 1515, .height = 225, .flags = Hidden, .accessible = "Transmit log"},
        {.name = "rxdata", .kind = Kind::TextArea, .left = 1680, .top = 9270, .width = 1275, .height = 225, .flags = Hidden, .accessible = "Receive log"},
        {.name = "logdata", .kind = Kind::CheckBox, .left = 3060, .top = 9240, .width = 375, .height = 315, .flags = Hidden, .accessible = "Log transmitted frames"},
        {.name = "comwait", .kind = Kind::Button, .text = "Ready", .left = 4920, .top = 9240, .width = 1095, .height = 315, .flags = Hidden},
    };
    rows.insert(rows.end(), values.begin(), values.end());

    // The Tab order: the port list first (it has the focus at start), then as
    // the window reads, column by column. The token menu is one stop (its
    // entries roam), its value boxes follow it.
    QStringList order = {"portselect", "oneclick", cmmdName(controls::kCompileButton)};
    for (int i = 0; i < controls::kQuickButtons; ++i)
        order << cmmdName(i);
    order << "Command4" << "Command3" << "Command5" << "commands" << "helpbox" << "i2cparser"
          << "Combo2" << "Combo1" << "txbufferbox" << "rxbufferbox" << "oneclicktokens";
    for (const auto& t : controls::kTokenMenu)
        order << QStringLiteral("Label2(%1)").arg(t.index);
    order << "tokenvalue(0)" << "tokenvalue(1)" << "tokenvalue(2)" << "cmmd(19)" << "cmmd(20)"
          << "cmmd(26)" << "cmmd(21)" << "cmmd(22)" << "cmmd(27)" << "cmmd(23)" << "cmmd(24)"
          << "cmmd(25)" << "cmmd(18)";
    for (auto& row : rows)
        row.tab = static_cast<int>(order.indexOf(row.name));
    return rows;
}

// clang-format on

} // namespace

const Rows& mainRows() {
    static const Rows rows = build();
    return rows;
}

} // namespace app
