#include "dialogs/filenames.h"

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

// The length of the valid UTF-8 sequence at the start of bytes, or 0.
int sequenceAt(const unsigned char* s, qsizetype left) {
    const unsigned char c = s[0];
    int length = 0;
    char32_t code = 0;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0)
        length = 2, code = c & 0x1F;
    else if ((c & 0xF0) == 0xE0)
        length = 3, code = c & 0x0F;
    else if ((c & 0xF8) == 0xF0)
        length = 4, code = c & 0x07;
    else
        return 0;
    if (left < length) return 0;
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 0;
        code = (code << 6) | (s[i] & 0x3F);
    }
    // Overlong forms, surrogates and what lies past Unicode are no text.
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
    return length;
}

} // namespace

QString nameFromBytes(const QByteArray& bytes) {
    QString name;
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = sequenceAt(s + i, bytes.size() - i);
        if (length == 0) {
            name += QChar(char16_t(kEscape + s[i]));
            ++i;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + i, length);
        i += length;
    }
    return name;
}

QByteArray bytesOfName(const QString& name) {
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        const bool escaped = i < name.size() && name[i].unicode() >= kEscape + 0x80 &&
                             name[i].unicode() <= kEscape + 0xFF;
        if (i < name.size() && !escaped) continue;
        bytes += QStringView(name).mid(from, i - from).toUtf8();
        if (escaped) bytes += char(name[i].unicode() - kEscape);
        from = i + 1;
    }
    return bytes;
}

bool hasUndecodedBytes(const QString& name) {
    return std::any_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() >= kEscape + 0x80 && c.unicode() <= kEscape + 0xFF;
    });
}

QString shownName(const QString& name) {
    QString shown = name;
    for (QChar& c : shown)
        if (c.unicode() >= kEscape + 0x80 && c.unicode() <= kEscape + 0xFF)
            c = QChar::ReplacementCharacter;
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
