#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

// The interface language of the running program: one translator, installed in
// the application once its file has loaded.
class LanguageHolder
{
public:
    static LanguageHolder* instance();

    // Loads "<baseName>_<code>" from directory; an empty code means the system
    // locale's language. Returns whether a translation file was loaded.
    bool load(const QString& baseName, const QString& directory, const QString& languageCode);
    QString languageCode() const { return mLanguageCode; }

    // "en" or "fr" when the whole command line after the program is
    // "-lang english" or "-lang french"; empty for any other command line.
    static QString languageCodeFromArguments(const QStringList& arguments);

private:
    LanguageHolder() = default;

    QTranslator mTranslator;
    QString mLanguageCode;
};
