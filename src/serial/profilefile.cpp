#include "serial/profilefile.h"

#include "serial/trimblanks.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <optional>

namespace profile {
namespace {

constexpr qsizetype kMaxValueLength = 254;

std::optional<QStringList> readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();  // the line end of the last line
    }
    return lines;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<QString> sectionOf(const QString& line) {
    const QString trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith(u'[') || !trimmed.endsWith(u']')) {
        return std::nullopt;
    }
    return trimmed.mid(1, trimmed.size() - 2).trimmed();
}

bool isKeyLine(const QString& line, const QString& key) {
    const qsizetype equals = line.indexOf(u'=');
    return equals > 0 && !line.trimmed().startsWith(u';') &&
           line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString unquoted(const QString& value) {
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

}  // namespace

QString read(const QString& path, const QString& section, const QString& key) {
    const auto lines = readLines(path);
    if (!lines) {
        return {};
    }
    bool inSection = false;
    for (const QString& line : *lines) {
        if (const auto name = sectionOf(line)) {
            inSection = sameName(*name, section);
        } else if (inSection && isKeyLine(line, key)) {
            const QString value = unquoted(trimBlanks(line.mid(line.indexOf(u'=') + 1)));
            return value.left(kMaxValueLength);
        }
    }
    return {};
}

bool write(const QString& path, const QString& section, const QString& key, const QString& value) {
    QStringList lines = readLines(path).value_or(QStringList{});
    const QString entry = key + u'=' + value;
    qsizetype sectionLine = -1;
    qsizetype insertAt = -1;  // after the section's last non-blank line
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionOf(lines[i])) {
            if (sectionLine >= 0) {
                break;  // the next section begins
            }
            if (sameName(*name, section)) {
                sectionLine = i;
                insertAt = i + 1;
            }
        } else if (sectionLine >= 0) {
            if (isKeyLine(lines[i], key)) {
                lines[i] = entry;
                insertAt = -1;
                break;
            }
            if (!lines[i].trimmed().isEmpty()) {
                insertAt = i + 1;
            }
        }
    }
    if (sectionLine < 0) {
        lines << u'[' + section + u']' << entry;
    } else if (insertAt >= 0) {
        lines.insert(insertAt, entry);
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write((lines.join(QLatin1String("\r\n")) + QLatin1String("\r\n")).toUtf8());
    return file.commit();
}

}  // namespace profile
