// The recorded texture upload. Each upload keeps a copy of its rows, as many
// bytes as the padded layout of its width and height holds.
#include "fake_texture.h"

#include "picture.h"
#include "platform/textureupload.h"

namespace fake {

std::vector<TextureUpload>& Uploads() {
    static std::vector<TextureUpload> uploads;
    return uploads;
}

void ClearUploads() { Uploads().clear(); }

}  // namespace fake

void UploadMipmappedTexture(int width, int height, const unsigned char* rows) {
    size_t bytes = TextureRowBytes(width) * static_cast<size_t>(height);
    fake::Uploads().push_back({width, height, std::vector<unsigned char>(rows, rows + bytes)});
}
