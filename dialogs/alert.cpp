#include "dialogs/alert.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace dialogs {

namespace {
constexpr int kClientWidth = 4815;
constexpr int kClientHeight = 3075;
} // namespace

// One control a row, as the layout tables have them.
// clang-format off
const Rows& alertRows() {
    // respond holds the answer; it would lie over the OK button, so it is
    // kept out of sight.
    static const Rows rows = {
        {.name = "Command1(0)", .kind = Kind::Button, .text = "OK", .left = 120, .top = 2580, .width = 975, .height = 345, .tab = 0},
        {.name = "Command1(1)", .kind = Kind::Button, .text = "Cancel", .left = 3720, .top = 2580, .width = 975, .height = 345, .tab = 1},
        {.name = "respond", .kind = Kind::Option, .left = 360, .top = 2580, .width = 255, .height = 195, .flags = Hidden, .accessible = "Answer", .tab = 2},
        {.name = "message", .kind = Kind::TextArea, .left = 120, .top = 60, .width = 4575, .height = 2415, .font = Font::SansBold, .flags = ReadOnly | VScroll | Centred | ButtonFace, .accessible = "Message", .tab = 3},
    };
    return rows;
}

// clang-format on

Alert::Alert(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral(" "));
    setFixedSize(pixels(kClientWidth), pixels(kClientHeight));
    m_controls = buildControls(this, alertRows());
    m_message = static_cast<QPlainTextEdit*>(m_controls.value("message"));
    m_respond = static_cast<QRadioButton*>(m_controls.value("respond"));
    dialogs::setTabOrder(m_controls, alertRows());
    for (int index : {0, 1}) {
        auto* button =
            static_cast<QPushButton*>(m_controls.value(QStringLiteral("Command1(%1)").arg(index)));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, index] { Command1_Click(index); });
    }
    static_cast<QPushButton*>(m_controls.value("Command1(0)"))->setDefault(true);
    m_controls.value("Command1(0)")->setFocus();
}

void Alert::addChoice(const QString& caption) {
    // Between OK and Cancel, as wide as they are.
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QStringLiteral("Command1(%1)").arg(kThirdChoice));
    button->setAutoDefault(false);
    button->setGeometry(pixels(1920), pixels(2580), pixels(975), pixels(345));
    QWidget::setTabOrder(m_controls.value("Command1(0)"), button);
    m_controls.insert(button->objectName(), button);
    connect(button, &QPushButton::clicked, this, [this] { Command1_Click(kThirdChoice); });
}

void Alert::setMessage(const QString& title, const QString& message, bool centred) {
    setWindowTitle(title);
    QTextOption option = m_message->document()->defaultTextOption();
    option.setAlignment(centred ? Qt::AlignHCenter : Qt::AlignLeft);
    m_message->document()->setDefaultTextOption(option);
    m_message->setPlainText(message);
}

bool Alert::answer() const {
    return m_respond->isChecked();
}

void Alert::Command1_Click(int index) {
    m_respond->setChecked(index == 0);
    if (index == 0)
        accept();
    else if (index == kThirdChoice)
        done(kThirdChoice);
    else
        reject();
}

bool showalert(QWidget* parent, const QString& title, const QString& message, int style) {
    if (style != 0 && style != 1) return false;
    if (style == 0) QApplication::beep();
    Alert alert(parent);
    alert.setMessage(title, message, style == 0);
    return alert.exec() == QDialog::Accepted && alert.answer();
}

ReplaceAnswer askReplace(QWidget* parent, const QString& title, const QString& path, bool append) {
    Alert alert(parent);
    alert.setMessage(title, QStringLiteral("%1 exists. Replace it?").arg(path), false);
    if (append) alert.addChoice(QStringLiteral("Append"));
    switch (alert.exec()) {
    case QDialog::Accepted:
        return ReplaceAnswer::Replace;
    case Alert::kThirdChoice:
        return ReplaceAnswer::Append;
    default:
        return ReplaceAnswer::Cancel;
    }
}

} // namespace dialogs
