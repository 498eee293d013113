// A recording stand-in for the texture upload, so the JPEG loader runs in a
// unit test without a GL context.
#pragma once

#include <vector>

namespace fake {

struct TextureUpload {
    int width;
    int height;
    std::vector<unsigned char> rows;  // the bytes as uploaded, bottom row first
};

// Every upload since the last ClearUploads, in order.
std::vector<TextureUpload>& Uploads();
void ClearUploads();

}  // namespace fake
