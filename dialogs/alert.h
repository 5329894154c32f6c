#pragma once
// The program's modal message box, laid out from its table.
//
// Style 0 beeps and centres the message, 1 aligns it left without a beep;
// any other style shows nothing and answers false. OK accepts and answers
// true; Cancel, Escape and the close box reject and answer false. A CR LF in
// the message is a line break; a message longer than the box scrolls.
#include "dialogs/form.h"

#include <QDialog>

class QPlainTextEdit;
class QRadioButton;

namespace dialogs {

const Rows& alertRows();

class Alert : public QDialog {
    Q_OBJECT
  public:
    // What exec() answers for the third button, when there is one.
    static constexpr int kThirdChoice = 2;

    explicit Alert(QWidget* parent = nullptr);

    void setMessage(const QString& title, const QString& message, bool centred);
    // A third button, between OK and Cancel, that ends the dialog with kThirdChoice.
    void addChoice(const QString& caption);
    bool answer() const;
    void Command1_Click(int index);

  private:
    Controls m_controls;
    QPlainTextEdit* m_message;
    QRadioButton* m_respond;
};

bool showalert(QWidget* parent, const QString& title, const QString& message, int style);

enum class ReplaceAnswer { Cancel, Replace, Append };

// "<path> exists. Replace it?" under the title, OK replacing; with append,
// also an "Append" button. Escape and the close box cancel.
ReplaceAnswer askReplace(QWidget* parent, const QString& title, const QString& path, bool append);

} // namespace dialogs
