#include "SqlTestFile.h"

#include <QFile>

namespace sqltest {

File readFile(const QString& path, QString& error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: cannot open").arg(path);
        return File{path, {}};
    }
    return parseText(QString::fromUtf8(f.readAll()), path, error);
}

File parseText(const QString& text, const QString& path, QString& error)
{
    File file{path, {}};
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    int i = 0;
    const int n = int(lines.size());
    auto blank = [](const QString& l) { return l.trimmed().isEmpty(); };
    while (i < n) {
        const QString line = lines[i];
        if (blank(line) || line.startsWith(QLatin1Char('#'))) {
            ++i;
            continue;
        }
        Case c;
        c.line = i + 1;
        QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words[0] == QLatin1String("statement") && words.size() == 2 && words[1] == QLatin1String("ok")) {
            c.kind = Case::StatementOk;
        } else if (words[0] == QLatin1String("statement") && words.size() == 3 && words[1] == QLatin1String("error")) {
            c.kind = Case::StatementError;
            bool ok = false;
            c.errorNumber = words[2].toInt(&ok);
            if (!ok) {
                error = QStringLiteral("%1:%2: bad error number").arg(path).arg(c.line);
                return file;
            }
        } else if (words[0] == QLatin1String("query") && words.size() <= 2) {
            c.kind = Case::Query;
            if (words.size() == 2) {
                if (words[1] != QLatin1String("rowsort")) {
                    error = QStringLiteral("%1:%2: unknown query option '%3'").arg(path).arg(c.line).arg(words[1]);
                    return file;
                }
                c.rowsort = true;
            }
        } else if (words[0] == QLatin1String("messages") && words.size() == 1) {
            c.kind = Case::Messages;
        } else {
            error = QStringLiteral("%1:%2: unknown directive '%3'").arg(path).arg(c.line).arg(line);
            return file;
        }
        ++i;
        QStringList batch;
        while (i < n && !blank(lines[i]) && lines[i] != QLatin1String("----")) batch << lines[i++];
        c.batch = batch.join(QLatin1Char('\n'));
        if (i < n && lines[i] == QLatin1String("----")) {
            ++i;
            while (i < n && !blank(lines[i])) c.expected << lines[i++];
        } else if (c.kind == Case::Query || c.kind == Case::Messages) {
            // no rows expected: an empty result
        }
        if (c.batch.isEmpty()) {
            error = QStringLiteral("%1:%2: directive without a batch").arg(path).arg(c.line);
            return file;
        }
        file.cases.push_back(std::move(c));
    }
    return file;
}

} // namespace sqltest
