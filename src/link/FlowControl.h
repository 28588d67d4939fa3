#pragma once

#include <QtGlobal>

namespace brixel {

// Bounds of the lossless forwarding. A source (a TCP connection or the serial
// port) holds at most kSourceBufferBytes of unread data in the program; past
// that it stops reading and the kernel holds the sender back. A destination
// with more than kHighWaterBytes waiting to be written pauses its sources; they
// resume once it has drained below kLowWaterBytes.
inline constexpr qint64 kSourceBufferBytes = 256 * 1024;
inline constexpr qint64 kHighWaterBytes = 1024 * 1024;
inline constexpr qint64 kLowWaterBytes = 256 * 1024;
// The most bytes taken from a source as one chunk.
inline constexpr qint64 kMaxChunkBytes = 64 * 1024;

// Whether a destination with `pending` bytes still to write can take more.
inline bool AcceptsMore(qint64 pending) {
    return pending <= kHighWaterBytes;
}

} // namespace brixel
