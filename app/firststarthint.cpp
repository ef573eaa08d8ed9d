#include "app/firststarthint.h"

#include <QDir>

FirstStartHint::FirstStartHint(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("firstStartHint"));
    setWordWrap(true);
    setTextFormat(Qt::RichText);
    setAlignment(Qt::AlignCenter);
    setMargin(24);
    // Drops and clicks reach the profile view below.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet(QStringLiteral("color: #404040; background: transparent;"));
}

QString FirstStartHint::textFor(bool fileCommandsShown, const QString& optionsFile)
{
    QString html = QStringLiteral("<p style=\"font-size:13pt; font-weight:700;\">%1</p>")
                       .arg(tr("Your logbook has no dive yet."))
        + QStringLiteral("<p>%1</p>")
              .arg(tr("Connect your dive computer with the computer button at the top left, then choose "
                      "\"Download dives\"."))
        + QStringLiteral("<p>%1</p>")
              .arg(tr("No Bluetooth on this machine? Start the program with --demo to download the dives of a "
                      "simulated dive computer."));
    if (fileCommandsShown) {
        html += QStringLiteral("<p>%1</p>")
                    .arg(tr("To open a dive file, use the folder button or drop the file here; the store button "
                            "keeps it in the logbook."));
    } else {
        html += QStringLiteral("<p>%1</p>")
                    .arg(tr("To open dive files, set import=1 in the [hidden] group of %1 and start the program "
                            "again.")
                             .arg(QDir::toNativeSeparators(optionsFile).toHtmlEscaped()));
    }
    return html;
}
