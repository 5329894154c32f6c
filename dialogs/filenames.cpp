#include "dialogs/filenames.h"
#include "util/utf8.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace dialogs {

namespace {

constexpr char16_t kEscape = 0xDC00;

// A byte carried as U+DC80 + byte: only bytes from 0x80 are ever escaped.
bool isEscaped(QChar c) {
    return c.unicode() >= kEscape + 0x80 && c.unicode() <= kEscape + 0xFF;
}

} // namespace

QString nameFromBytes(const QByteArray& bytes) {
    QString name;
    std::string_view rest(bytes.constData(), std::size_t(bytes.size()));
    while (!rest.empty()) {
        const std::size_t length = util::utf8Length(rest);
        if (length == 0) {
            name += QChar(char16_t(kEscape + static_cast<unsigned char>(rest[0])));
            rest.remove_prefix(1);
            continue;
        }
        name += QString::fromUtf8(rest.data(), qsizetype(length));
        rest.remove_prefix(length);
    }
    return name;
}

QByteArray bytesOfName(const QString& name) {
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        const bool escaped = i < name.size() && isEscaped(name[i]);
        if (i < name.size() && !escaped) continue;
        bytes += QStringView(name).mid(from, i - from).toUtf8();
        if (escaped) bytes += char(name[i].unicode() - kEscape);
        from = i + 1;
    }
    return bytes;
}

bool hasUndecodedBytes(const QString& name) {
    return std::any_of(name.begin(), name.end(), isEscaped);
}

QString shownName(const QString& name) {
    QString shown = name;
    for (QChar& c : shown)
        if (isEscaped(c)) c = QChar::ReplacementCharacter;
    return shown;
}

QStringList filesIn(const QString& folder, const QStringList& patterns) {
    QList<QRegularExpression> masks;
    for (const QString& p : patterns)
        masks << QRegularExpression(QRegularExpression::wildcardToRegularExpression(p),
                                    QRegularExpression::CaseInsensitiveOption);
    auto matches = [&](const QString& name) {
        const QString shown = shownName(name);
        return std::any_of(masks.begin(), masks.end(),
                           [&](const auto& mask) { return mask.match(shown).hasMatch(); });
    };
    QStringList names;
#ifdef Q_OS_UNIX
    const QByteArray where = bytesOfName(folder);
    DIR* dir = ::opendir(where.constData());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray bytes(entry->d_name);
        if (bytes.startsWith('.')) continue;
        struct stat info {};
        if (::stat((where + '/' + bytes).constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        const QString name = nameFromBytes(bytes);
        if (matches(name)) names << name;
    }
    ::closedir(dir);
#else
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        if (matches(name)) names << name;
#endif
    return names;
}

} // namespace dialogs
