#pragma once
// The token menu's input: the Label2 entries and their tokenvalue boxes.
//
// A mouse click on an entry, or Return or Space on the entry that has the
// focus, is clicked(index). The entries are one stop of the Tab order (the
// entry last used, marked in the highlight colours while it has the focus);
// Up and Down move between them, Home and End go to the first and last, and
// Right goes to an entry's value box. In a value box Return clicks its entry,
// Up and Down go on through the menu and Left at its start goes back.
//
// A value box holds up to two hex digits, upper case, however they come
// (typed, pasted or dropped); it selects its text when it takes the focus
// and shows "0" when left empty or zero. Cut, copy, paste and its context
// menu work as in any line edit.
#include "controls/tokenmenu.h"
#include "dialogs/form.h"

#include <QObject>

#include <array>
#include <vector>

class QLabel;
class QLineEdit;

namespace app {

class TokenMenu : public QObject {
    Q_OBJECT
  public:
    TokenMenu(const dialogs::Controls& controls, QObject* parent = nullptr);

  signals:
    void clicked(int label2Index);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool entryEvent(std::size_t place, QEvent* event);
    bool valueEvent(std::size_t box, QEvent* event);
    // The entry the Tab order stops at: place in the menu, top down.
    void setCurrent(std::size_t place);
    void focusEntry(std::size_t place);
    std::size_t placeOfBox(std::size_t box) const;

    std::vector<QLabel*> m_entries; // as the menu shows them, top down
    std::array<QLineEdit*, 3> m_values{};
};

} // namespace app
