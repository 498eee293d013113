// Uploading a prepared picture into the bound 2D texture with its full set of
// mipmap levels (glTexParameteri and gluBuild2DMipmaps). Both backends supply
// the same few GL calls; the unit tests record the upload instead.
#pragma once

// rows: 24-bit RGB, bottom row first, each row padded to a multiple of 4 bytes.
// Sets the minifying filter to GL_LINEAR_MIPMAP_NEAREST and the magnifying
// filter to GL_LINEAR.
void UploadMipmappedTexture(int width, int height, const unsigned char* rows);
