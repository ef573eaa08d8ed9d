#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace divetool {

// What one command accepts: options without a value, options with one (some
// of which may be repeated) and a range of positional arguments. Every
// command also accepts --json and --help.
struct CommandSyntax
{
    QStringList flags;
    QStringList valueOptions;
    QStringList repeatable;
    int minPositional = 0;
    int maxPositional = 0; // -1: no upper bound
};

// The arguments of one command. Options may come before, between or after the
// positional arguments, as "--name value" or "--name=value"; everything after
// "--" is positional (a file whose name starts with '-').
class ParsedArguments
{
public:
    // False with a one-line description of the first problem.
    bool parse(const CommandSyntax& syntax, const QStringList& arguments, QString& error);

    bool isSet(const QString& option) const;
    // The value given (the last one when repeated), or an empty string.
    QString value(const QString& option) const;
    QStringList values(const QString& option) const;
    const QStringList& positional() const { return m_positional; }

private:
    QSet<QString> m_flags;
    QHash<QString, QStringList> m_values;
    QStringList m_positional;
};

} // namespace divetool
