#pragma once
// What a screen reader makes of a form's controls, for the tests of each form.
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QTest>
#include <QWidget>

inline QString nameOf(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
}

// Every named control directly in form has a name a screen reader says and a
// role, not a bare filler; what shows text gives it as text. Lines and shapes
// (transparent for the mouse) are drawing, not controls.
inline void verifyNamedControls(QWidget* form) {
    for (auto* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->objectName().isEmpty() || w->testAttribute(Qt::WA_TransparentForMouseEvents))
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        QVERIFY2(!nameOf(w).isEmpty() && face->role() != QAccessible::Client,
                 qPrintable(w->objectName()));
        if (qobject_cast<QAbstractScrollArea*>(w) && !qobject_cast<QAbstractItemView*>(w))
            QVERIFY2(face->textInterface(), qPrintable(w->objectName()));
    }
}
