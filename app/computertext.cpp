#include "app/computertext.h"

#include "corvane/protocol/kelvodata.h"

QString ComputerText::connectedToolTip(const QString& serial, CurrentMode::CurrentModeIn mode)
{
    const QString paragraph = QStringLiteral("<p><span style=\" color:#0055ff;\">%1</span></p>");
    return QStringLiteral("<html><body>")
           + QStringLiteral("<p><span style=\" font-weight:700; color:#0055ff;\">%1</span></p>")
                 .arg(tr("Computer Connected"))
           + paragraph.arg(tr("Serial ") + serial)
           + paragraph.arg(tr("Mode ") + (mode == CurrentMode::Normal ? tr("Normal") : tr("Firmware")))
           + QStringLiteral("</body></html>");
}

QByteArray ComputerText::ownerBytes(const QString& owner)
{
    QByteArray bytes = owner.toUtf8();
    if (bytes.size() <= kOwnerBytes)
        return bytes;
    qsizetype end = kOwnerBytes;
    // Back to the first byte of the character that would be cut.
    while (end > 0 && (quint8(bytes.at(end)) & 0xC0) == 0x80)
        --end;
    bytes.truncate(end);
    return bytes;
}

QString ComputerText::firmwareNotice(quint32 computerFirmware, quint32 newestFirmware)
{
    if (newestFirmware <= computerFirmware)
        return {};
    return tr("The connected device is using an earlier firmware version %1.\nA more recent version %2 is available.")
        .arg(KelvoData::firmwareVersionToString(computerFirmware), KelvoData::firmwareVersionToString(newestFirmware));
}
