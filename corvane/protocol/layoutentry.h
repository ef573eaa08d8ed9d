#pragma once

#include <QString>
#include <QtGlobal>

// One display layout listed by the computer.
struct LayoutEntry
{
    quint8 index = 0; // the layout's number on the computer
    quint8 type = 0;  // the entry's second byte, as received
    QString name;
};
