#pragma once

#include "online/onlineconfig.h"

#include <QDialog>

// The About box: the splash image with the program's version, a link to the
// product page and one to the license terms in the interface language.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    AboutBox(QWidget* parent, const OnlineConfig& config, const QString& languageCode, const QString& version);

    // "<a href=\"url\">text</a>"
    static QString link(const QUrl& url, const QString& text);
};
