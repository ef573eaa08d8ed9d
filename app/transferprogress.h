#pragma once

#include <QtGlobal>

// Shows a transfer on a progress bar or dialog: the percentage when the total
// is known, the busy indicator when it is not (total <= 0).
template <class Bar>
void showTransferProgress(Bar& bar, qint64 received, qint64 total)
{
    if (total <= 0) {
        bar.setRange(0, 0);
        return;
    }
    bar.setRange(0, 100);
    bar.setValue(int(qBound(qint64(0), received * 100 / total, qint64(100))));
}
