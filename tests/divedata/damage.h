#pragma once

// Damage for the reader fuzz tests: bit flips and random images from a seeded
// generator, so that every failure reproduces.

#include <QByteArray>
#include <QRandomGenerator>

#include <functional>

namespace damage {

// Feeds one image to a reader; true when the reader accepted it.
using Reader = std::function<bool(const QByteArray&)>;

constexpr int FlipRounds = 300;
constexpr int RandomRounds = 200;

// The image with one to eight single bits flipped.
inline QByteArray flipped(QByteArray bytes, QRandomGenerator& random)
{
    if (bytes.isEmpty())
        return bytes;
    const int flips = 1 + int(random.bounded(8));
    for (int i = 0; i < flips; ++i) {
        const qsizetype at = qsizetype(random.bounded(quint32(bytes.size())));
        bytes[at] = char(bytes.at(at) ^ char(1u << random.bounded(8)));
    }
    return bytes;
}

// Up to maxLength random bytes, drawn from alphabet when one is given.
inline QByteArray randomBytes(QRandomGenerator& random, int maxLength, const char* alphabet = nullptr)
{
    QByteArray bytes(qsizetype(random.bounded(maxLength + 1)), Qt::Uninitialized);
    const quint32 letters = alphabet != nullptr ? quint32(qstrlen(alphabet)) : 0;
    for (char& c : bytes)
        c = alphabet != nullptr ? alphabet[random.bounded(letters)] : char(random.bounded(256));
    return bytes;
}

} // namespace damage
