#include "app/scriptlibrary.h"
#include "app/text.h"

#include "app/savefile.h"
#include "compiler/compiler.h"
#include "dialogs/alert.h"
#include "dialogs/filenames.h"
#include "dialogs/selectfile.h"
#include "library/examples.h"
#include "platform/files.h"
#include "util/paths.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTextCursor>
#include <QValidator>

#include <memory>
#include <optional>

namespace app {

namespace {

const QString kSaveBlock = QStringLiteral("Save queue as block\u2026");

// One line, typed or pasted; while empty, OK waits for a name.
class BlockName : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (library::hasLineBreak(input.toStdString())) return Invalid;
        return input.isEmpty() ? Intermediate : Acceptable;
    }
};

// The name, or nothing when the prompt is cancelled.
std::optional<QString> askBlockName(QWidget* parent, const QString& path, const QString& name) {
    QInputDialog prompt(parent);
    prompt.setWindowTitle(kSaveBlock);
    prompt.setLabelText(QStringLiteral("Name of the block in %1:").arg(path));
    prompt.setTextValue(name);
    // Also makes the buttons, which the dialog otherwise makes only when shown.
    prompt.setOkButtonText(QStringLiteral("Save"));
    auto* edit = prompt.findChild<QLineEdit*>();
    edit->setValidator(new BlockName(edit));
    // Wide enough for its title beside a window manager's buttons, and a name.
    edit->setMinimumWidth(prompt.fontMetrics().horizontalAdvance(kSaveBlock) * 2 + 80);
    QPushButton* ok = prompt.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    auto follow = [edit, ok] { ok->setEnabled(edit->hasAcceptableInput()); };
    QObject::connect(edit, &QLineEdit::textChanged, ok, follow);
    follow();
    if (prompt.exec() != QDialog::Accepted) return std::nullopt;
    return prompt.textValue();
}

} // namespace

ScriptLibrary::ScriptLibrary(const LibraryWidgets& widgets, Alert alert, QWidget* dialogParent)
    : QObject(dialogParent), m_w(widgets), m_alert(std::move(alert)), m_dialogParent(dialogParent) {
    connect(m_w.Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(m_w.Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
    m_saveBlock = new QAction(kSaveBlock, this);
    m_saveBlock->setShortcut(QKeySequence::Save);
    m_saveBlock->setShortcutContext(Qt::WindowShortcut);
    dialogParent->addAction(m_saveBlock);
    connect(m_saveBlock, &QAction::triggered, this, &ScriptLibrary::saveQueueAsBlock);
    m_w.commands->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_w.commands, &QWidget::customContextMenuRequested, this,
            &ScriptLibrary::showQueueMenu);
}

void ScriptLibrary::showQueueMenu(const QPoint& at) {
    // A scroll area's menu position is the viewport's.
    std::unique_ptr<QMenu> menu(m_w.commands->createStandardContextMenu(at));
    menu->addSeparator();
    menu->addAction(m_saveBlock);
    menu->exec(m_w.commands->viewport()->mapToGlobal(at));
}

void ScriptLibrary::saveQueueAsBlock() {
    const QFileInfo last(m_lastLoaded);
    const QString path =
        dialogs::choosefile(m_dialogParent, last.fileName(), QStringLiteral("*.txt"),
                            m_lastLoaded.isEmpty() ? loaddirectory : last.absolutePath(),
                            kSaveBlock, dialogs::Purpose::Save);
    if (path.isEmpty()) return;
    const std::string queue = m_w.commands->toPlainText().toStdString();
    // A block taken from a file and edited goes back under its own name.
    QString name = qstring(library::blockName(compiler::typedQueue(queue)));
    library::SavedBlock saved;
    do {
        const auto chosen = askBlockName(m_dialogParent, path, name);
        if (!chosen) return;
        name = *chosen;
        saved = withBlock(path, name.toStdString(), queue);
    } while (saved.nameTaken);
    QString error;
    if (!saved.ok())
        error = path + QStringLiteral(": ") + qstring(saved.refusal);
    else if (writeWhole(path, QByteArray::fromStdString(saved.bytes), error))
        return;
    m_alert(QStringLiteral("Save error"), QStringLiteral("Cannot save:\r\n%1").arg(error), 0);
}

library::SavedBlock ScriptLibrary::withBlock(const QString& path, const std::string& name,
                                             const std::string& queue) {
    // Read once the name is given: what the file became meanwhile is kept.
    std::string file;
    if (QFileInfo::exists(path)) {
        auto read = platform::readRegularFile(dialogs::bytesOfName(path).toStdString(),
                                              library::kMaxScriptFileBytes);
        if (!read.bytes) return {{}, read.error};
        file = std::move(*read.bytes);
    }
    auto saved = library::saveBlock(file, name, queue);
    if (saved.nameTaken &&
        dialogs::askReplace(m_dialogParent, kSaveBlock,
                            QStringLiteral("The block \"%1\" of %2").arg(qstring(name), path),
                            false) == dialogs::ReplaceAnswer::Replace)
        saved = library::saveBlock(file, name, queue, library::SameName::Replace);
    return saved;
}

void ScriptLibrary::Command4_Click() {
    const QString chosen =
        dialogs::choosefile(m_dialogParent, QString(), QStringLiteral("*.txt"), loaddirectory,
                            QStringLiteral("Select command list"));
    if (!chosen.isEmpty()) loadScriptFile(chosen);
}

void ScriptLibrary::loadScriptFile(const QString& chosen) {
    std::string path = dialogs::bytesOfName(chosen).toStdString();
    // A folder typed wrong would send the next Load elsewhere: an earlier
    // good one is kept.
    const QString folder = qstring(util::pathpart(path, 3)) + QLatin1Char(util::kNativeSeparator);
    if (QFileInfo(folder).isDir()) loaddirectory = folder;
    // Read whole before anything is cleared. Only a regular file is read,
    // so a pipe or a device cannot hang the window.
    const auto file = platform::readRegularFile(path, library::kMaxScriptFileBytes);
    if (!file.bytes) {
        m_alert(QStringLiteral("Script load error"),
                QStringLiteral("Cannot load %1:\r\n%2").arg(qstring(path), qstring(file.error)), 0);
        return;
    }
    m_lastLoaded = chosen;
    auto loaded = library::loadScript(*file.bytes, scriptblocks);
    scriptblocks = std::move(loaded.blocks);
    for (std::size_t i = 0; i < library::kQuickButtons; ++i)
        setQuickCaption(static_cast<int>(i), loaded.captions[i],
                        i + 1 < loaded.listItems.size() ? library::blockName(scriptblocks[i + 1])
                                                        : std::string_view());
    m_w.Combo2->clear();
    m_w.Combo2->addItem(qstring(library::kSelectScript));
    for (std::size_t k = 1; k < loaded.listItems.size(); ++k) {
        m_w.Combo2->addItem(qstring(loaded.listItems[k]));
        const auto name = library::blockName(scriptblocks[k]);
        if (name != loaded.listItems[k])
            m_w.Combo2->setItemData(static_cast<int>(k), qstring(name), Qt::ToolTipRole);
    }
    // The queue takes this file's preamble, never an earlier file's.
    m_w.Combo2->setCurrentIndex(0);
    Combo2_Click();
    QStringList notes;
    if (loaded.blocksLeftOut > 0)
        notes << QStringLiteral("%1 holds more than %2 blocks: the first %2 are loaded, the "
                                "other %3 were left out.")
                     .arg(qstring(path))
                     .arg(library::kMaxBlocks)
                     .arg(loaded.blocksLeftOut);
    if (!loaded.entriesCut.empty()) {
        constexpr std::size_t kNamed = 5;
        QStringList cut;
        for (std::size_t entry : loaded.entriesCut)
            if (cut.size() < static_cast<qsizetype>(kNamed))
                cut << (entry == 0
                            ? QStringLiteral("the lines before the first block")
                            : QLatin1Char('"') + qstring(library::blockName(scriptblocks[entry])) +
                                  QLatin1Char('"'));
        if (loaded.entriesCut.size() > kNamed)
            cut << QStringLiteral("%1 more").arg(loaded.entriesCut.size() - kNamed);
        notes << QStringLiteral("The queue takes at most %1 lines (%2 KiB) of a block: of %3, "
                                "only that much was loaded of %4.")
                     .arg(library::kQueueLines)
                     .arg(library::kQueueBytes >> 10)
                     .arg(qstring(path), cut.join(QStringLiteral(", ")));
    }
    if (!notes.isEmpty())
        m_alert(QStringLiteral("Script load"), notes.join(QStringLiteral("\r\n")), 1);
}

void ScriptLibrary::Combo1_Click() {
    const int index = m_w.Combo1->currentIndex();
    if (index < 0 || index >= static_cast<int>(library::kExamples.size())) return;
    setQueue(library::exampleScript(static_cast<std::size_t>(index)));
}

void ScriptLibrary::Combo2_Click() {
    const int index = m_w.Combo2->currentIndex();
    if (index < 0 || index >= kScriptBlocks) return;
    setQueue(scriptblocks[static_cast<std::size_t>(index)]);
}

bool ScriptLibrary::takeQuickBlock(int index) {
    if (index < 0 || index >= static_cast<int>(library::kQuickButtons)) return false;
    if (m_w.cmmd[static_cast<std::size_t>(index)]->text().isEmpty()) return false;
    setQueue(scriptblocks[static_cast<std::size_t>(index) + 1]);
    return true;
}

void ScriptLibrary::setQueue(const std::string& text) {
    // One step of the editor's own undo: setPlainText would forget the
    // user's text for good.
    QTextCursor all(m_w.commands->document());
    all.beginEditBlock();
    all.select(QTextCursor::Document);
    all.insertText(qstring(text));
    all.endEditBlock();
    m_w.commands->moveCursor(QTextCursor::Start);
}

void ScriptLibrary::setQuickCaption(int index, std::string_view caption, std::string_view name) {
    QPushButton* button = m_w.cmmd[static_cast<std::size_t>(index)];
    button->setText(qstring(caption).replace(QLatin1Char('&'), QStringLiteral("&&")));
    // Screen readers say the caption; the placeholder only while there is none.
    button->setAccessibleName(caption.empty() ? QStringLiteral("Quick command %1").arg(index + 1)
                                              : QString());
    button->setToolTip(name != caption ? qstring(name) : QString());
}

} // namespace app
