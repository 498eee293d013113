// Fuzz target of the JPEG loader: the input is the bytes of picture 142 in a
// stand-in resource library, run through the whole load down to the upload,
// whose rows are read to the last byte the upload would consume.
#include <cstddef>
#include <cstdint>

#include "picture.h"
#include "platform/messagebox.h"
#include "platform/resources.h"
#include "platform/textureupload.h"

namespace {
const uint8_t* fuzzData;
size_t fuzzSize;
int libraryToken;
volatile unsigned uploadChecksum;
}  // namespace

void ShowMessageBox(const char*, const char*, MessageIcon, bool) {}

bool FindResourceBytes(NativeModule library, const char*, int, const unsigned char** data, size_t* size) {
    if (library != &libraryToken) return false;
    *data = fuzzData;
    *size = fuzzSize;
    return true;
}

void UploadMipmappedTexture(int width, int height, const unsigned char* rows) {
    size_t bytes = TextureRowBytes(width) * static_cast<size_t>(height);
    unsigned sum = 0;
    for (size_t i = 0; i < bytes; ++i) sum += rows[i];
    uploadChecksum = sum;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzData = data;
    fuzzSize = size;
    int width = -1, height = -1;
    LoadJpegTexture(&libraryToken, 142, &width, &height);
    bool empty = width == 0 && height == 0;
    bool plausible = width > 0 && height > 0 && static_cast<uint64_t>(width) * height <= kMaxPicturePixels;
    if (!empty && !plausible) __builtin_trap();
    return 0;
}
