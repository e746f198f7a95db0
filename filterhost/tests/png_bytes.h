// PNG files put together byte by byte, for tests that need kinds of pictures, or damage, that
// the host's own writer never makes.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>

namespace png_bytes {

inline std::string BigEndian(uint32_t value) {
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

// Length, type, data and the CRC of type and data.
inline std::string Chunk(const std::string &type, const std::string &data) {
    const std::string body = type + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef *>(body.data()), uInt(body.size()));
    return BigEndian(uint32_t(data.size())) + body + BigEndian(uint32_t(crc));
}

inline std::string Header(uint32_t width, uint32_t height, int depth, int colourType,
                          int interlace = 0) {
    return Chunk("IHDR", BigEndian(width) + BigEndian(height) + char(depth) + char(colourType) +
                             '\0' + '\0' + char(interlace));
}

// Signature, header, the extra chunks, the compressed scanlines (each with its filter byte)
// as one IDAT, IEND.
inline std::string File(const std::string &header, const std::string &scanlines,
                        const std::string &extra = "") {
    uLongf size = compressBound(uLong(scanlines.size()));
    std::string compressed(size, '\0');
    compress(reinterpret_cast<Bytef *>(&compressed[0]), &size,
             reinterpret_cast<const Bytef *>(scanlines.data()), uLong(scanlines.size()));
    compressed.resize(size);
    return std::string("\x89PNG\r\n\x1a\n", 8) + header + extra + Chunk("IDAT", compressed) +
           Chunk("IEND", "");
}

}  // namespace png_bytes
