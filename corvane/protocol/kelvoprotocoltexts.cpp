// The fixed English texts of exchange errors and of the platform's BLE errors,
// returned as they stand.

#include "corvane/protocol/kelvobleprotocol.h"

QString KelvoBleProtocol::exchangeErrorString(ExchangeError::ExchangeErrorIn error)
{
    switch (error) {
    case ExchangeError::InvalidCrc:
        return QStringLiteral("Invalid CRC");
    case ExchangeError::BeginProgramError:
        return QStringLiteral("Begin Program Error");
    case ExchangeError::ProgramError:
        return QStringLiteral("Program Error");
    case ExchangeError::EndProgramError:
        return QStringLiteral("End Program Error");
    case ExchangeError::SetOwnerError:
        return QStringLiteral("Set Owner Error");
    default:
        return QStringLiteral("Unknown Error");
    }
}

QString KelvoBleProtocol::controllerErrorString(QLowEnergyController::Error error)
{
    switch (error) {
    case QLowEnergyController::UnknownRemoteDeviceError:
        return QStringLiteral("Unknown Remote Device Error");
    case QLowEnergyController::NetworkError:
        return QStringLiteral("Network Error");
    case QLowEnergyController::InvalidBluetoothAdapterError:
        return QStringLiteral("Invalid Bluetooth Adapter Error");
    case QLowEnergyController::ConnectionError:
        return QStringLiteral("Connection Error");
    case QLowEnergyController::AdvertisingError:
        return QStringLiteral("Advertising Error");
    case QLowEnergyController::RemoteHostClosedError:
        return QStringLiteral("Remote Host Closed Error");
    case QLowEnergyController::AuthorizationError:
        return QStringLiteral("Authorization Error");
    case QLowEnergyController::MissingPermissionsError:
        return QStringLiteral("Missing Permissions Error");
    default:
        return QStringLiteral("Unknown Error");
    }
}

QString KelvoBleProtocol::serviceErrorString(QLowEnergyService::ServiceError error)
{
    switch (error) {
    case QLowEnergyService::NoError:
        return QStringLiteral("No Error");
    case QLowEnergyService::OperationError:
        return QStringLiteral("Operation Error");
    case QLowEnergyService::CharacteristicWriteError:
        return QStringLiteral("Characteristic Write Error");
    case QLowEnergyService::DescriptorWriteError:
        return QStringLiteral("Descriptor Write Error");
    case QLowEnergyService::CharacteristicReadError:
        return QStringLiteral("Characteristic Read Error");
    case QLowEnergyService::DescriptorReadError:
        return QStringLiteral("Descriptor Read Error");
    default:
        return QStringLiteral("Unknown Error");
    }
}

QString KelvoBleProtocol::scanErrorString(QBluetoothDeviceDiscoveryAgent::Error error)
{
    switch (error) {
    case QBluetoothDeviceDiscoveryAgent::InputOutputError:
        return QStringLiteral("Input Output Error");
    case QBluetoothDeviceDiscoveryAgent::PoweredOffError:
        return QStringLiteral("Powered Off Error");
    case QBluetoothDeviceDiscoveryAgent::InvalidBluetoothAdapterError:
        return QStringLiteral("Invalid Bluetooth Adapter Error");
    case QBluetoothDeviceDiscoveryAgent::UnsupportedPlatformError:
        return QStringLiteral("Unsupported Platform Error");
    case QBluetoothDeviceDiscoveryAgent::UnsupportedDiscoveryMethod:
        return QStringLiteral("Unsupported Discovery Method");
    case QBluetoothDeviceDiscoveryAgent::LocationServiceTurnedOffError:
        return QStringLiteral("Location Service Turned Off Error");
    case QBluetoothDeviceDiscoveryAgent::MissingPermissionsError:
        return QStringLiteral("Missing Permissions Error");
    default:
        return QStringLiteral("Unknown Error");
    }
}
