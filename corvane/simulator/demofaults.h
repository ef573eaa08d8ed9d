#pragma once

#include "corvane/corvaneglobal.h"

#include <QString>
#include <QStringList>

struct ComputerFaults;

// The faults demo mode's computer can be asked to show, so that a user can
// see what the program does when a real computer or link misbehaves.
namespace DemoFaults {

// The option that asks for faults: "--demo-fault=LIST".
inline const QString kOption = QStringLiteral("--demo-fault=");
// The environment variable with the same LIST, used when the option is absent.
inline constexpr char kVariable[] = "PELAGON_DEMO_FAULT";

// LIST from the arguments, else from the environment; empty when neither
// asks for a fault.
CORVANE_EXPORT QString request(const QStringList& arguments);
// The arguments without the option.
CORVANE_EXPORT QStringList withoutOption(QStringList arguments);

// Reads LIST, comma-separated items (see help()), into `faults`. False with
// a one-line reason in `problem` for an item it does not know; `faults` is
// then unchanged.
CORVANE_EXPORT bool parse(const QString& list, ComputerFaults& faults, QString& problem);

// Whether parse() takes LIST; the reason in `problem` when not.
CORVANE_EXPORT bool isValid(const QString& list, QString& problem);

// The items of LIST, one per line, for a program's help and the README.
CORVANE_EXPORT QString help();

} // namespace DemoFaults
