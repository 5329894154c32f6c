#include "app/queuemarks.h"

#include "app/colours.h"
#include "compiler/marks.h"
#include "dialogs/form.h"

#include <QPlainTextEdit>
#include <QTextBlock>

#include <algorithm>

namespace app {

namespace {

using Kind = compiler::Mark::Kind;

const QColor kCommentColour(128, 128, 128);
const QColor kWarningColour(230, 140, 0);
const QColor kErrorColour(255, 0, 0);

struct Span {
    int start = 0, length = 0; // in the block
    Kind kind = Kind::Command;
    std::optional<QColor> colour;
    QString message;
    bool operator==(const Span&) const = default;
};

// The marks of one block, and the text they were read from: a block edited
// since shows plain until it is read again.
class BlockMarks : public QTextBlockUserData {
  public:
    QString text;
    QList<Span> spans;
};

// Where the queue holds a character as UTF-8 bytes; a no-break space is
// the blank the editor's plain text makes of it.
int utf8Length(QChar c, QChar next) {
    const char16_t u = c.unicode();
    if (u < 0x80 || u == QChar::Nbsp) return 1;
    if (u < 0x800) return 2;
    if (c.isHighSurrogate() && next.isLowSurrogate()) return 4;
    return 3;
}

// The index in text, from index start, of the character at byte in the queue.
int indexOfByte(const QString& text, int start, std::size_t byte) {
    int i = start;
    for (std::size_t at = 0; at < byte && i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        const int length = utf8Length(text[i], next);
        at += static_cast<std::size_t>(length);
        if (length == 4) ++i;
    }
    return i;
}

bool isLineEnd(QChar c) {
    return c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

} // namespace

QueueMarks::QueueMarks(QPlainTextEdit* editor)
    : QSyntaxHighlighter(editor->document()), m_page(editor->palette().color(QPalette::Base)) {
    m_pause.setSingleShot(true);
    m_pause.setInterval(kMarkPause);
    connect(&m_pause, &QTimer::timeout, this, &QueueMarks::refresh);
    connect(editor->document(), &QTextDocument::contentsChange, this,
            [this](int, int removed, int added) {
                if (removed || added) m_pause.start();
            });
}

QueueMarks::Queue QueueMarks::queueOf(const QTextDocument* document) {
    Queue queue;
    int number = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next(), ++number) {
        const QString text = block.text();
        int from = 0;
        for (int i = 0; i <= text.size(); ++i) {
            if (i < text.size() && !isLineEnd(text[i])) continue;
            if (!queue.lineAt.empty()) queue.text += "\r\n";
            queue.lineAt.push_back(queue.text.size());
            queue.blockOf.push_back(number);
            queue.indexOf.push_back(from);
            const std::size_t before = queue.text.size();
            queue.text += text.mid(from, i - from).replace(QChar::Nbsp, u' ').toStdString();
            queue.ascii.push_back(queue.text.size() - before == static_cast<std::size_t>(i - from));
            from = i + 1;
        }
    }
    return queue;
}

void QueueMarks::refresh() {
    m_pause.stop();
    QTextDocument* document = this->document();
    const Queue queue = queueOf(document);
    // By block number. Marks are placed from the queue's own record of its
    // lines: looking each one up in the document cost most of a keystroke.
    std::vector<QList<Span>> spans(static_cast<std::size_t>(document->blockCount()));
    for (auto& mark : compiler::queueMarks(queue.text)) {
        const auto after = std::upper_bound(queue.lineAt.begin(), queue.lineAt.end(), mark.begin);
        const auto line = static_cast<std::size_t>(after - queue.lineAt.begin() - 1);
        const int first = queue.indexOf[line];
        const std::size_t begin = mark.begin - queue.lineAt[line];
        const std::size_t end = mark.end - queue.lineAt[line];
        int from = first + static_cast<int>(begin), to = first + static_cast<int>(end);
        if (!queue.ascii[line]) {
            const QString text = document->findBlockByNumber(queue.blockOf[line]).text();
            from = indexOfByte(text, first, begin);
            to = indexOfByte(text, first, end);
        }
        Span span{from, std::max(to - from, 0), mark.kind, std::nullopt,
                  QString::fromStdString(mark.message).replace(QLatin1String("\r\n"), "\n")};
        if (mark.kind == Kind::Command) span.colour = groupColour(mark.group);
        if (mark.kind == Kind::Comment) span.colour = kCommentColour;
        if (mark.kind == Kind::Warning) span.colour = kWarningColour;
        if (mark.kind == Kind::Error) span.colour = kErrorColour;
        // A missing word is marked where it would stand: on the last character.
        if (span.length == 0 && from > 0)
            span = {from - 1, 1, span.kind, span.colour, span.message};
        spans[static_cast<std::size_t>(queue.blockOf[line])].append(std::move(span));
    }
    // Only blocks whose marks changed are formatted again: a keystroke in a
    // long queue touches a line or two.
    std::size_t number = 0;
    for (QTextBlock block = document->begin(); block.isValid() && number < spans.size();
         block = block.next(), ++number) {
        const auto* old = static_cast<const BlockMarks*>(block.userData());
        QList<Span>& now = spans[number];
        if (old ? old->spans == now && old->text == block.text() : now.isEmpty()) continue;
        auto* marks = new BlockMarks;
        marks->text = block.text();
        marks->spans = std::move(now);
        block.setUserData(marks);
        rehighlightBlock(block);
    }
}

QColor QueueMarks::readable(const QColor& colour) {
    auto known = m_readable.constFind(colour.rgb());
    if (known == m_readable.cend())
        known = m_readable.insert(colour.rgb(), dialogs::readableOn(colour, m_page));
    return *known;
}

QString QueueMarks::messageAt(int position) const {
    const QTextBlock block = document()->findBlock(position);
    const auto* marks = static_cast<const BlockMarks*>(block.userData());
    if (!marks || marks->text != block.text()) return {};
    const int at = position - block.position();
    for (const Span& span : marks->spans)
        if (!span.message.isEmpty() && at >= span.start && at < span.start + span.length)
            return span.message;
    return {};
}

void QueueMarks::highlightBlock(const QString& text) {
    const auto* marks = static_cast<const BlockMarks*>(currentBlockUserData());
    if (!marks || marks->text != text) return;
    for (const Span& span : marks->spans) {
        if (span.kind == Kind::Command || span.kind == Kind::Comment) {
            if (!span.colour) continue;
            QTextCharFormat colour;
            colour.setForeground(readable(*span.colour));
            setFormat(span.start, span.length, colour);
            continue;
        }
        // Underlined, keeping each character's colour.
        for (int i = span.start; i < span.start + span.length; ++i) {
            QTextCharFormat underline = format(i);
            underline.setUnderlineStyle(QTextCharFormat::WaveUnderline);
            underline.setUnderlineColor(readable(*span.colour));
            setFormat(i, 1, underline);
        }
    }
}

} // namespace app
