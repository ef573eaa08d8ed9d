#pragma once

#include <QCoreApplication>
#include <QLabel>

// The few lines an empty logbook shows a new user over the profile area: how
// dives get in. Shown only while the logbook has no dive and none is shown.
class FirstStartHint : public QLabel
{
    Q_OBJECT

public:
    explicit FirstStartHint(QWidget* parent);

    // Rich text. With the file commands shown the hint names them; without,
    // it tells which switch of the options file (at `optionsFile`) shows them.
    static QString textFor(bool fileCommandsShown, const QString& optionsFile);
};
