// The texture upload: plain OpenGL 1.1 and GLU, the same on both platforms,
// so both backends compile this one file (the unit tests fake it instead).
#include "platform/textureupload.h"

#include "gl_headers.h"

namespace {
constexpr GLint kRgbComponents = 3;
constexpr GLint kRowAlignment = 4;  // the rows are padded to 4 bytes
}  // namespace

void UploadMipmappedTexture(int width, int height, const unsigned char* rows) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, kRowAlignment);
    gluBuild2DMipmaps(GL_TEXTURE_2D, kRgbComponents, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows);
}
