#pragma once

#include "corvane/corvaneglobal.h"

// How fast a simulated link carries packets. Real links move packets only at
// connection events, one every connection interval, a few packets per event
// and direction; a request that waits for an answer costs two events. The
// instant link delivers everything on the next turn of the event loop, still
// in order and never inside the call that sent it.
struct CORVANE_EXPORT BleLinkModel
{
    bool instant = true;
    int connectionIntervalUs = 30000; // 7500 us to 4 s, steps of 1250 us
    int packetsPerInterval = 4;       // per connection event and direction

    static BleLinkModel instantLink() { return {}; }
    // A paced link; the interval is clamped to 7.5 ms .. 4 s, packets to 1 .. 64.
    static BleLinkModel paced(int connectionIntervalUs, int packetsPerInterval);
    // A desktop stack's usual link: 30 ms, 4 packets per event.
    static BleLinkModel typicalDesktop() { return paced(30000, 4); }

    // Notification payload bytes per second with `mtu` (MTU - 3 per packet);
    // 0 for the instant link.
    double bytesPerSecond(int mtu) const;
};
