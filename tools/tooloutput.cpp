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
    QString line = QStringLiteral("divetool: %1: %2").arg(subject, problem);
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    write(stderr, line.trimmed());
}

QString durationText(double seconds)
{
    const qint64 whole = std::isfinite(seconds) && seconds > 0.0 ? qint64(std::min(seconds, 1e12)) : 0;
    const QChar zero(u'0');
    if (whole < 3600)
        return QStringLiteral("%1:%2").arg(whole / 60, 2, 10, zero).arg(whole % 60, 2, 10, zero);
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600, 2, 10, zero)
        .arg((whole / 60) % 60, 2, 10, zero)
        .arg(whole % 60, 2, 10, zero);
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
