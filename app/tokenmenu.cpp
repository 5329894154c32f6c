#include "app/tokenmenu.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QValidator>

namespace app {

namespace {

class ValueValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        const auto text = controls::valueBoxText(input.toStdString());
        if (!text) return Invalid;
        input = QString::fromStdString(*text);
        return Acceptable;
    }
};

bool isReturn(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// The highlight colours, which every theme makes readable on each other.
void markFocus(QLabel* label, bool focused) {
    label->setAutoFillBackground(focused);
    label->setBackgroundRole(focused ? QPalette::Highlight : QPalette::Window);
    label->setForegroundRole(focused ? QPalette::HighlightedText : QPalette::WindowText);
}

const QString kEntryKeys =
    QStringLiteral("Return or Space adds it to the command queue; Up and Down choose another.");
const QString kValueKeys =
    QStringLiteral("Two hex digits. Return adds the command; Left at the start goes back to it.");

} // namespace

TokenMenu::TokenMenu(const dialogs::Controls& controls, QObject* parent) : QObject(parent) {
    for (int i = 0; i < static_cast<int>(m_values.size()); ++i) {
        QLineEdit* box =
            qobject_cast<QLineEdit*>(controls.value(QStringLiteral("tokenvalue(%1)").arg(i)));
        box->setValidator(new ValueValidator(box));
        box->setToolTip(kValueKeys);
        box->installEventFilter(this);
        m_values[static_cast<std::size_t>(i)] = box;
    }
    for (const auto& e : controls::kTokenMenu) {
        auto* label =
            qobject_cast<QLabel*>(controls.value(QStringLiteral("Label2(%1)").arg(e.index)));
        label->setAccessibleDescription(
            e.valueBox < 0 ? kEntryKeys : kEntryKeys + QStringLiteral(" Right goes to its value."));
        label->installEventFilter(this);
        m_entries.push_back(label);
    }
    setCurrent(0);
}

void TokenMenu::setCurrent(std::size_t place) {
    // One stop in the Tab order for the whole menu: the arrows do the rest.
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        m_entries[i]->setFocusPolicy(i == place ? Qt::TabFocus : Qt::NoFocus);
}

void TokenMenu::focusEntry(std::size_t place) {
    setCurrent(place);
    m_entries[place]->setFocus(Qt::OtherFocusReason);
}

std::size_t TokenMenu::placeOfBox(std::size_t box) const {
    for (std::size_t place = 0; place < controls::kTokenMenu.size(); ++place)
        if (controls::kTokenMenu[place].valueBox == static_cast<int>(box)) return place;
    return 0;
}

bool TokenMenu::eventFilter(QObject* watched, QEvent* event) {
    for (std::size_t place = 0; place < m_entries.size(); ++place)
        if (watched == m_entries[place]) return entryEvent(place, event);
    for (std::size_t box = 0; box < m_values.size(); ++box)
        if (watched == m_values[box]) return valueEvent(box, event);
    return QObject::eventFilter(watched, event);
}

bool TokenMenu::entryEvent(std::size_t place, QEvent* event) {
    QLabel* label = m_entries[place];
    const int index = controls::kTokenMenu[place].index;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return true; // taken, so the click does not go on to the window
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            setCurrent(place);
            emit clicked(index);
        }
        return true;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        markFocus(label, event->type() == QEvent::FocusIn);
        return false;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const std::size_t last = m_entries.size() - 1;
        if (key->modifiers() & ~Qt::KeypadModifier) return false;
        switch (key->key()) {
        case Qt::Key_Up:
            focusEntry(place > 0 ? place - 1 : 0);
            return true;
        case Qt::Key_Down:
            focusEntry(std::min(place + 1, last));
            return true;
        case Qt::Key_Home:
            focusEntry(0);
            return true;
        case Qt::Key_End:
            focusEntry(last);
            return true;
        case Qt::Key_Right:
            if (const int box = controls::kTokenMenu[place].valueBox; box >= 0)
                m_values[static_cast<std::size_t>(box)]->setFocus(Qt::OtherFocusReason);
            return true;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit clicked(index);
            return true;
        default:
            return false;
        }
    }
    default:
        return false;
    }
}

bool TokenMenu::valueEvent(std::size_t box, QEvent* event) {
    QLineEdit* edit = m_values[box];
    const std::size_t place = placeOfBox(box);
    switch (event->type()) {
    case QEvent::FocusIn:
        // After the mouse press that gave the focus has placed the cursor.
        QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        return false;
    case QEvent::FocusOut:
        if (edit->text() !=
            QString::fromStdString(controls::settledValueText(edit->text().toStdString())))
            edit->setText(QStringLiteral("0"));
        return false;
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier) return false;
        if (isReturn(key)) {
            emit clicked(controls::kTokenMenu[place].index);
            return true;
        }
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            focusEntry(key->key() == Qt::Key_Up ? (place > 0 ? place - 1 : 0)
                                                : std::min(place + 1, m_entries.size() - 1));
            return true;
        }
        if (key->key() == Qt::Key_Left && edit->cursorPosition() == 0 && !edit->hasSelectedText()) {
            focusEntry(place);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

} // namespace app
