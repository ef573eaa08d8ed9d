#include "corvane/ble/blelinkmodel.h"

#include <QtGlobal>

BleLinkModel BleLinkModel::paced(int connectionIntervalUs, int packetsPerInterval)
{
    BleLinkModel model;
    model.instant = false;
    model.connectionIntervalUs = qBound(7500, connectionIntervalUs, 4000000);
    model.packetsPerInterval = qBound(1, packetsPerInterval, 64);
    return model;
}

double BleLinkModel::bytesPerSecond(int mtu) const
{
    if (instant)
        return 0.0;
    const int payload = (mtu > 3 ? mtu : 23) - 3;
    return double(payload) * packetsPerInterval * 1e6 / connectionIntervalUs;
}
