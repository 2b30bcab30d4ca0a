#pragma once

// Bounds on what the help reader accepts. A help file is a few hundred kilobytes; these leave
// plenty of room while keeping a hostile file from exhausting memory or time.

#include <QtGlobal>

namespace morvane::chm {

inline constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
// Largest single object handed out, and largest compressed section decompressed in all.
inline constexpr quint64 kMaxObjectBytes = 64 * 1024 * 1024;
inline constexpr quint64 kMaxContentBytes = 64 * 1024 * 1024;
// Directory chunks: real files use 4 KiB chunks and a handful of them.
inline constexpr quint32 kMinChunkBytes = 0x40;
inline constexpr quint32 kMaxChunkBytes = 0x10000;
inline constexpr quint32 kMaxChunks = 0x10000;
inline constexpr int kMaxIndexDepth = 32;
// chmlib copies directory names into a 512-byte buffer.
inline constexpr quint64 kMaxNameBytes = 512;
// The LZX frame every compressed CHM section uses, and chmlib's slack for one compressed frame.
inline constexpr quint64 kFrameBytes = 0x8000;
inline constexpr quint64 kCompressedFrameAllocation = kFrameBytes + 6144;
// Contents pages: nesting and entries a person could still use.
inline constexpr int kMaxContentsDepth = 16;
inline constexpr int kMaxContentsEntries = 5000;

} // namespace morvane::chm
