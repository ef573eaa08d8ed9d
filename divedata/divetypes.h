#pragma once

#include <QObject>

// Enumerations that the dive record stores and that the dive-computer session
// reports. They live in gadget namespaces so that Qt's meta-object system can
// name their values (logs, QML, signal arguments).

namespace ComputerModel {
Q_NAMESPACE
enum ComputerModelIn : int {
    Unknown = 0,
    Kelvo = 1,
    Pelagon = 2,
    Brix = 3,
    ThirdParty = 4,
};
Q_ENUM_NS(ComputerModelIn)
} // namespace ComputerModel

namespace GasUsage {
Q_NAMESPACE
enum GasUsageIn : quint8 {
    None = 0,
    Oxygen = 1,
    Diluent = 2,
    Sidemount = 3,
};
Q_ENUM_NS(GasUsageIn)
} // namespace GasUsage
