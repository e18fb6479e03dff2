#pragma once
// SHA-256 for the journal's chain: a long journal hashes every one of its lines each time it is
// read, so the processor's SHA instructions do it where there are any, and Qt's hash otherwise.
// Both give the same digest.

#include <QByteArrayView>
#include <QtGlobal>
#include <array>
#include <initializer_list>

namespace billing {

using Sha256Digest = std::array<quint8, 32>;

// The SHA-256 of the pieces one after another.
Sha256Digest sha256Digest(std::initializer_list<QByteArrayView> pieces);

// The same with Qt's QCryptographicHash, whatever the processor has: to compare against.
Sha256Digest sha256DigestPortable(std::initializer_list<QByteArrayView> pieces);

// Whether sha256Digest uses the processor's SHA instructions.
bool sha256InHardware();

// A digest as lower-case hex, 64 characters.
std::array<char, 64> hexOf(const Sha256Digest &digest);

} // namespace billing
