#pragma once
// Windows laid out from tables: one row per control, geometry in twips
// (15 to a logical pixel), as the layout tables give them. A builder turns
// the rows into child widgets named after their control.
#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

namespace dialogs {

inline constexpr int kTwipsPerPixel = 15;
constexpr int pixels(int twips) {
    return (twips * 2 + kTwipsPerPixel) / (2 * kTwipsPerPixel); // rounded
}

enum class Kind {
    Label,
    Button,
    CheckBox,
    Option,   // an option (radio) button
    TextBox,  // one line
    TextArea, // multi-line
    ComboBox,
    Frame,  // a container
    Line,   // from (left, top) to (left + width, top + height)
    Shape,  // a rectangle's border, or a circle
    Custom, // made by the caller's factory
};

enum class Font {
    Sans,     // "MS Sans Serif" 8.25
    SansBold, // 8.25 bold
    Heading,  // 9.75 bold
    Large,    // 12 bold
    Fixed,    // "Fixedsys" 9
};

enum Flag : unsigned {
    Hidden = 1u << 0,
    ReadOnly = 1u << 1,
    VScroll = 1u << 2,
    HScroll = 1u << 3,
    Centred = 1u << 4,
    ButtonFace = 1u << 5, // background in the button colour
    Round = 1u << 6,      // a shape that is a circle
};

struct ControlRow {
    QString name{}; // objectName: "cmmd(255)", "commands"
    Kind kind = Kind::Label;
    QString text{};                               // caption or initial text
    int left = 0, top = 0, width = 0, height = 0; // twips
    Font font = Font::Sans;
    std::optional<QColor> color{}; // text colour
    unsigned flags = 0;
    int maxLength = 0;   // text boxes; 0: no limit
    int borderWidth = 1; // lines and shapes, in pixels
    QStringList items{}; // combo boxes
    QString toolTip{};
    // Screen readers' name for a control without a caption: the name of the
    // row of the label that names it, or else the text itself.
    QString accessible{};
    int tab = -1; // place in the tab order; -1: none given
};

using Rows = std::vector<ControlRow>;
using Controls = QHash<QString, QWidget*>;
using Factory = std::function<QWidget*(const ControlRow&, QWidget* parent)>;

QFont fontOf(Font font);

// The contrast of two colours, from 1 (the same) to 21 (black on white).
double contrast(const QColor& a, const QColor& b);
// The one rule for a text of a fixed colour: the colours were chosen for a
// light page and stand as they are there; on a dark background each is
// lightened towards white until it reads at kReadableContrast.
inline constexpr double kReadableContrast = 4.5;
QColor readableOn(const QColor& colour, const QColor& background);

// Creates every row's widget as a child of parent, in row order, and returns
// them by name. Lines and shapes lie under the other controls and let clicks
// through.
Controls buildControls(QWidget* parent, const Rows& rows, const Factory& custom = {});

// Chains the rows' widgets in the order of their tab places.
void setTabOrder(const Controls& controls, const Rows& rows);

// "cmmd(17)" -> 17; -1 when the name holds no index.
int controlIndex(const QString& objectName);

} // namespace dialogs
