#include "tools/tooloutput.h"

#include <QDateTime>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace divetool {

namespace {

void write(FILE* stream, QString text)
{
    if (!text.endsWith(QLatin1Char('\n')))
        text.append(QLatin1Char('\n'));
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

QString printable(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F))
            out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else if ((u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E || u == 0x200F)
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

void printText(const QString& text)
{
    write(stdout, text);
}

void printJson(const QJsonObject& document)
{
    write(stdout, QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)));
}

void printError(const QString& subject, const QString& problem)
{
    // Texts shared with the program's message boxes carry line breaks; on a
    // terminal the message stays one line.
    QString text = problem;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    write(stderr, QStringLiteral("divetool: %1: %2").arg(printable(subject), printable(text.trimmed())));
}

void printProgress(const QString& subject, const QString& text)
{
    write(stderr, QStringLiteral("divetool: %1: %2").arg(printable(subject), printable(text)));
}

QString isoStartTime(qint64 secondsSinceEpoch)
{
    if (secondsSinceEpoch <= 0)
        return QString();
    const QDateTime local = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch);
    if (!local.isValid())
        return QString();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

QJsonValue jsonNumber(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

QString numberText(double value, int decimals)
{
    return std::isfinite(value) ? QString::number(value, 'f', decimals) : QStringLiteral("-");
}

} // namespace divetool
