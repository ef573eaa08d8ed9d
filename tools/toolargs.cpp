#include "tools/toolargs.h"

namespace divetool {

bool ParsedArguments::parse(const CommandSyntax& syntax, const QStringList& arguments, QString& error)
{
    m_flags.clear();
    m_values.clear();
    m_positional.clear();

    QStringList flags = syntax.flags;
    flags << QStringLiteral("--json") << QStringLiteral("--help");
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            m_positional.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("-h")) {
            m_flags.insert(QStringLiteral("--help"));
            continue;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);
        if (flags.contains(name)) {
            if (equals >= 0) {
                error = QStringLiteral("option %1 takes no value").arg(name);
                return false;
            }
            m_flags.insert(name);
            continue;
        }
        if (!syntax.valueOptions.contains(name)) {
            error = QStringLiteral("unknown option %1").arg(name);
            return false;
        }
        QString value;
        if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else {
            error = QStringLiteral("option %1 needs a value").arg(name);
            return false;
        }
        QStringList& given = m_values[name];
        if (!given.isEmpty() && !syntax.repeatable.contains(name)) {
            error = QStringLiteral("option %1 given more than once").arg(name);
            return false;
        }
        given.append(value);
    }

    // Help is asked for: whatever else is missing does not matter.
    if (m_flags.contains(QStringLiteral("--help")))
        return true;
    const qsizetype count = m_positional.size();
    if (count < syntax.minPositional) {
        error = QStringLiteral("missing arguments");
        return false;
    }
    if (syntax.maxPositional >= 0 && count > syntax.maxPositional) {
        error = QStringLiteral("unexpected argument \"%1\"").arg(m_positional.at(syntax.maxPositional));
        return false;
    }
    return true;
}

bool ParsedArguments::isSet(const QString& option) const
{
    return m_flags.contains(option) || m_values.contains(option);
}

QString ParsedArguments::value(const QString& option) const
{
    const QStringList given = m_values.value(option);
    return given.isEmpty() ? QString() : given.constLast();
}

QStringList ParsedArguments::values(const QString& option) const
{
    return m_values.value(option);
}

} // namespace divetool
