#pragma once
// A minimal PNG encoder for 8-bit gray images, enough for thumbnails: one
// IHDR, one IDAT holding zlib data in stored (uncompressed) deflate blocks,
// one IEND. It owns nothing beyond the bytes it returns and never throws;
// running out of memory comes back as false. Files go through CArchive, so
// a failed write leaves an older picture as it was.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// CRC-32 as PNG chunks use it (polynomial 0xEDB88320), continued from crc.
uint32_t PngCrc32(const uint8_t* data, size_t size, uint32_t crc = 0);
// Adler-32 as the zlib stream ends with it, continued from adler.
uint32_t PngAdler32(const uint8_t* data, size_t size, uint32_t adler = 1);

// Encodes width x height gray pixels, rows top-down, stride bytes apart.
bool EncodeGrayPng(const uint8_t* pixels, uint32_t width, uint32_t height, size_t stride,
                   std::vector<uint8_t>& png);

// Encodes and writes to path; false with the reason in error when encoding
// or the save failed.
bool WriteGrayPng(const std::string& path, const uint8_t* pixels, uint32_t width,
                  uint32_t height, size_t stride, std::string& error);
