#include "app/scriptlibrary.h"
#include "app/text.h"

#include "dialogs/filenames.h"
#include "dialogs/selectfile.h"
#include "library/examples.h"
#include "platform/files.h"
#include "util/paths.h"

#include <QComboBox>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTextCursor>

namespace app {

ScriptLibrary::ScriptLibrary(const LibraryWidgets& widgets, Alert alert, QWidget* dialogParent)
    : QObject(dialogParent), m_w(widgets), m_alert(std::move(alert)), m_dialogParent(dialogParent) {
    connect(m_w.Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(m_w.Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
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
