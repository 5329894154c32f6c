#include "dialogs/form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cmath>

namespace dialogs {

namespace {

double luminance(const QColor& colour) {
    auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

enum class Figure { Bar, Slant, Box, Circle };

// A line, a rectangle's border or a circle, drawn at its width.
class Drawing : public QWidget {
  public:
    Drawing(QWidget* parent, Figure figure, int width, QLine line = {})
        : QWidget(parent), m_figure(figure), m_width(std::max(1, width)), m_line(line) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QColor ink = palette().color(QPalette::WindowText);
        if (m_figure == Figure::Bar) {
            p.fillRect(rect(), ink);
            return;
        }
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(ink, m_width));
        const int inset = m_width / 2;
        const QRect inner = rect().adjusted(inset, inset, -(m_width - inset), -(m_width - inset));
        if (m_figure == Figure::Box) p.drawRect(inner);
        if (m_figure == Figure::Circle) p.drawEllipse(inner);
        if (m_figure == Figure::Slant) p.drawLine(m_line.translated(-pos()));
    }

  private:
    Figure m_figure;
    int m_width;
    QLine m_line; // in the parent's coordinates
};

// From (left, top) to (left + width, top + height); width and height may be
// negative.
QLine lineOf(const ControlRow& row) {
    return {pixels(row.left), pixels(row.top), pixels(row.left + row.width),
            pixels(row.top + row.height)};
}

QRect lineGeometry(const ControlRow& row) {
    const int w = std::max(1, row.borderWidth);
    const QLine l = lineOf(row);
    if (row.height == 0) return {std::min(l.x1(), l.x2()), l.y1() - w / 2, std::abs(l.dx()), w};
    if (row.width == 0) return {l.x1() - w / 2, std::min(l.y1(), l.y2()), w, std::abs(l.dy())};
    return QRect(l.p1(), l.p2()).normalized().adjusted(-w, -w, w, w);
}

QWidget* make(const ControlRow& row, QWidget* parent, const Factory& custom) {
    const bool readOnly = row.flags & ReadOnly;
    switch (row.kind) {
    case Kind::Label: {
        auto* label = new QLabel(row.text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment((row.flags & Centred ? Qt::AlignHCenter : Qt::AlignLeft) |
                            Qt::AlignTop);
        return label;
    }
    case Kind::Button:
        return new QPushButton(row.text, parent);
    case Kind::CheckBox:
        return new QCheckBox(row.text, parent);
    case Kind::Option:
        return new QRadioButton(row.text, parent);
    case Kind::TextBox: {
        auto* box = new QLineEdit(row.text, parent);
        box->setReadOnly(readOnly);
        if (row.maxLength > 0) box->setMaxLength(row.maxLength);
        if (row.flags & Centred) box->setAlignment(Qt::AlignCenter);
        return box;
    }
    case Kind::TextArea: {
        auto* area = new QPlainTextEdit(row.text, parent);
        area->setReadOnly(readOnly);
        area->setLineWrapMode(row.flags & HScroll ? QPlainTextEdit::NoWrap
                                                  : QPlainTextEdit::WidgetWidth);
        area->setHorizontalScrollBarPolicy(row.flags & HScroll ? Qt::ScrollBarAsNeeded
                                                               : Qt::ScrollBarAlwaysOff);
        area->setVerticalScrollBarPolicy(row.flags & VScroll ? Qt::ScrollBarAsNeeded
                                                             : Qt::ScrollBarAlwaysOff);
        if (row.flags & Centred) {
            QTextOption option = area->document()->defaultTextOption();
            option.setAlignment(Qt::AlignHCenter);
            area->document()->setDefaultTextOption(option);
        }
        return area;
    }
    case Kind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->addItems(row.items);
        return combo;
    }
    case Kind::Frame: {
        auto* frame = new QFrame(parent);
        frame->setFrameShape(QFrame::Box);
        frame->setAutoFillBackground(true); // it covers what lies under it
        return frame;
    }
    case Kind::Line:
        return new Drawing(parent, row.width && row.height ? Figure::Slant : Figure::Bar,
                           row.borderWidth, lineOf(row));
    case Kind::Shape:
        return new Drawing(parent, row.flags & Round ? Figure::Circle : Figure::Box,
                           row.borderWidth);
    case Kind::Custom:
        return custom ? custom(row, parent) : nullptr;
    }
    return nullptr;
}

} // namespace

QFont fontOf(Font font) {
    // Metric twins of the fonts the layout was drawn for.
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(8.25);
    switch (font) {
    case Font::Sans:
        break;
    case Font::SansBold:
        f.setBold(true);
        break;
    case Font::Heading:
        f.setPointSizeF(9.75);
        f.setBold(true);
        break;
    case Font::Large:
        f.setPointSizeF(12);
        f.setBold(true);
        break;
    case Font::Fixed:
        // Named outright: "monospace" resolves to a face Qt does not report
        // as fixed-pitch, and the token menu's columns need one.
        f = QFont(QStringLiteral("DejaVu Sans Mono"));
        f.setPointSizeF(9);
        f.setFixedPitch(true);
        break;
    }
    return f;
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& colour, const QColor& background) {
    const QColor white(255, 255, 255);
    if (contrast(background, white) <= contrast(background, QColor(0, 0, 0))) return colour;
    QColor lighter = colour;
    for (int step = 1; step <= 20 && contrast(lighter, background) < kReadableContrast; ++step) {
        const double t = step / 20.0;
        lighter.setRgbF(float(colour.redF() + t * (1 - colour.redF())),
                        float(colour.greenF() + t * (1 - colour.greenF())),
                        float(colour.blueF() + t * (1 - colour.blueF())));
    }
    return lighter;
}

Controls buildControls(QWidget* parent, const Rows& rows, const Factory& custom) {
    Controls controls;
    QHash<QString, QString> captions;
    for (const auto& row : rows)
        captions.insert(row.name, row.text);
    QList<QWidget*> drawings;
    for (const auto& row : rows) {
        QWidget* w = make(row, parent, custom);
        if (!w) continue;
        w->setObjectName(row.name);
        w->setFont(fontOf(row.font));
        if (row.kind == Kind::Line) {
            w->setGeometry(lineGeometry(row));
        } else {
            w->setGeometry(pixels(row.left), pixels(row.top),
                           pixels(row.left + row.width) - pixels(row.left),
                           pixels(row.top + row.height) - pixels(row.top));
        }
        QPalette palette = w->palette();
        if (row.color) {
            palette.setColor(QPalette::WindowText,
                             readableOn(*row.color, palette.color(QPalette::Window)));
            palette.setColor(QPalette::Text, readableOn(*row.color, palette.color(QPalette::Base)));
        }
        if (row.flags & ButtonFace)
            palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        w->setPalette(palette);
        if (!row.toolTip.isEmpty()) w->setToolTip(row.toolTip);
        if (!row.accessible.isEmpty())
            w->setAccessibleName(captions.value(row.accessible, row.accessible));
        if (row.flags & Hidden) w->hide();
        if (row.kind == Kind::Line || row.kind == Kind::Shape) drawings.append(w);
        controls.insert(row.name, w);
    }
    for (auto* d : drawings)
        d->lower();
    return controls;
}

void setTabOrder(const Controls& controls, const Rows& rows) {
    std::vector<const ControlRow*> ordered;
    for (const auto& row : rows)
        if (row.tab >= 0) ordered.push_back(&row);
    std::sort(ordered.begin(), ordered.end(),
              [](const ControlRow* a, const ControlRow* b) { return a->tab < b->tab; });
    for (std::size_t i = 1; i < ordered.size(); ++i)
        QWidget::setTabOrder(controls.value(ordered[i - 1]->name),
                             controls.value(ordered[i]->name));
}

int controlIndex(const QString& objectName) {
    const auto open = objectName.indexOf(QLatin1Char('('));
    if (open < 0 || !objectName.endsWith(QLatin1Char(')'))) return -1;
    bool ok = false;
    const int index = objectName.mid(open + 1, objectName.size() - open - 2).toInt(&ok);
    return ok ? index : -1;
}

} // namespace dialogs
