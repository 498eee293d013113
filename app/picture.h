// JPEG pictures of the companion library as mipmapped OpenGL textures: the
// resource bytes are decoded from memory with libjpeg into RGB rows, turned
// bottom row first with each row padded to 4 bytes, and uploaded into the
// texture the caller has bound (platform/textureupload.h does the GL calls).
// Every failure leaves the texture without an image and reports 0 x 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/types.h"

inline constexpr char kPictureResourceType[] = "JPG";

// The largest picture the decoder accepts, in pixels; anything larger is
// refused before the decoder allocates for it.
inline constexpr uint64_t kMaxPicturePixels = 4096ull * 4096ull;
// The decoder's own working memory (coefficient buffers of progressive
// pictures) beyond which it gives up.
inline constexpr long kDecoderMemoryLimit = 64L * 1024 * 1024;
// A progressive picture with more scans than this is refused: each scan costs
// a pass over the whole picture, and a small file can declare thousands.
inline constexpr int kMaxPictureScans = 100;

// A decoded picture owned by the caller: 24-bit RGB, red first, top row
// first, width * 3 bytes per row with no padding.
struct PictureRows {
    std::vector<unsigned char> pixels;
    int width = 0;
    int height = 0;
};

// Decodes a JPEG stream held in memory. False, with an empty 0 x 0 result,
// for anything that does not decode into 1- or 3-component rows (greyscale is
// expanded to RGB). Decoder warnings are shown in a "JPEG Error" box and
// decoding goes on.
bool DecodeJpegPicture(const unsigned char* data, size_t size, PictureRows* picture);

// The row length of the texture layout: width * 3 bytes rounded up to a
// multiple of 4.
size_t TextureRowBytes(int width);

// The texture layout of a decoded picture: bottom row first, rows padded with
// zero bytes to TextureRowBytes. False (rows empty) when memory runs out.
bool ToTextureRows(const PictureRows& picture, std::vector<unsigned char>* rows);

// Decodes picture (type "JPG", pictureId) of the resource library and uploads
// it with all mipmap levels into the bound 2D texture; writes its size to
// width and height, 0 and 0 (and no upload) when it is missing or does not
// decode.
void LoadJpegTexture(NativeModule library, int pictureId, int* width, int* height);
