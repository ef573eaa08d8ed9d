#pragma once

#include "corvane/protocol/protocoltypes.h"

#include <QCoreApplication>
#include <QString>

// Texts and small rules of the computer commands, apart from the window.
class ComputerText
{
    Q_DECLARE_TR_FUNCTIONS(ComputerText)

public:
    // From this firmware on the computer hands out its system log as binary
    // records and shows the firmware notice before a download.
    static constexpr quint32 kBinaryLogFirmware = 0x2000B00;
    // The computer keeps the owner name in a 32-byte field ending with a zero.
    static constexpr int kOwnerBytes = 31;

    // The rich-text tool tip of the connected computer's picture.
    static QString connectedToolTip(const QString& serial, CurrentMode::CurrentModeIn mode);
    // The owner name cut to what the computer keeps, on a whole UTF-8
    // character.
    static QByteArray ownerBytes(const QString& owner);
    static QString ownerName(const QString& owner) { return QString::fromUtf8(ownerBytes(owner)); }
    // The notice shown when the catalogue's newest firmware is above the
    // computer's; empty when it is not.
    static QString firmwareNotice(quint32 computerFirmware, quint32 newestFirmware);
};
