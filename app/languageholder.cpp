#include "app/languageholder.h"

#include <QCoreApplication>
#include <QLocale>

LanguageHolder* LanguageHolder::instance()
{
    static LanguageHolder* const holder = new LanguageHolder; // lives until the process ends
    return holder;
}

bool LanguageHolder::load(const QString& baseName, const QString& directory, const QString& languageCode)
{
    mLanguageCode = languageCode.isEmpty() ? QLocale::system().name().section(u'_', 0, 0) : languageCode;
    const QString fileName = QStringLiteral("%1_%2").arg(baseName, mLanguageCode);
    if (!mTranslator.load(fileName, directory))
        return false;
    QCoreApplication::installTranslator(&mTranslator);
    return true;
}

QString LanguageHolder::languageCodeFromArguments(const QStringList& arguments)
{
    if (arguments.size() != 3 || arguments.at(1) != QLatin1String("-lang"))
        return {};
    if (arguments.at(2) == QLatin1String("english"))
        return QStringLiteral("en");
    if (arguments.at(2) == QLatin1String("french"))
        return QStringLiteral("fr");
    return {};
}
