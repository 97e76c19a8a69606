#pragma once
// Writers of PNG and TIFF at 24 bits straight from the caller's rows (B, G, R, A,
// packed, top to bottom; the alpha byte dropped), a strip of working memory
// beside them: the imaging library would hold the whole picture at 8 bytes a
// pixel and the whole file. They make the choices it made for these saves.
#include <cstdint>

#include "platform/FileIO.h"

// RGB, 8 bits a sample, not interlaced, every filter tried, zlib level 7 at
// memory level 9, data chunks of 32 KiB, no side chunks: the same bytes.
bool WritePng24(const std::uint8_t* bgra, int width, int height, TFileWriter& file);
// Little-endian, RGB, 8 bits a sample, chunky, LZW with horizontal differencing,
// strips of about 1 MiB, page 1 of 1.
bool WriteTiff24(const std::uint8_t* bgra, int width, int height, TFileWriter& file);
