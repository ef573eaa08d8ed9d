#pragma once

// Command handlers of the simulated computer kept outside the main table's
// file (firmware and layouts), and the helpers they share with it.

#include "corvane/simulator/computerstate.h"

#include <QByteArray>

namespace ComputerHandlers {

// A long record cut into frames of `framePayload` bytes, then the end marker.
void stream(const QByteArray& bytes, int framePayload, ComputerReply& reply);

void beginProgram(ComputerState& s, const QByteArray& request, ComputerReply& reply);
void beginUpdate(ComputerState& s, const QByteArray& request, ComputerReply& reply);
void programChunk(ComputerState& s, const QByteArray& request, ComputerReply& reply);
void endProgram(ComputerState& s, const QByteArray& request, ComputerReply& reply);
// A chunk whose frame failed its CRC: refused, and the image abandoned.
void refuseDamagedChunk(ComputerState& s, int command, ComputerReply& reply);
// The link went down: an image on its way in stops there.
void linkLost(ComputerState& s);

void layoutList(ComputerState& s, const QByteArray& request, ComputerReply& reply);
void layoutGet(ComputerState& s, const QByteArray& request, ComputerReply& reply);
void layoutAdd(ComputerState& s, const QByteArray& request, ComputerReply& reply);
void layoutRemove(ComputerState& s, const QByteArray& request, ComputerReply& reply);
void layoutRemoveAll(ComputerState& s, const QByteArray& request, ComputerReply& reply);
void layoutActiveGet(ComputerState& s, const QByteArray& request, ComputerReply& reply);
void layoutActiveSet(ComputerState& s, const QByteArray& request, ComputerReply& reply);

} // namespace ComputerHandlers
