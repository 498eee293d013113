// Decoding a JPEG resource from memory with libjpeg and uploading it as a
// mipmapped texture. libjpeg reports fatal errors by calling back, and this
// file answers with a longjmp to a recovery point; the GL calls of the upload
// are the backend's (platform/textureupload.h).
#include "picture.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#include "platform/messagebox.h"
#include "platform/resources.h"
#include "platform/textureupload.h"

namespace {

constexpr size_t kSourceBufferSize = 4096;
constexpr int32_t kMaxResourceSize = 0x7fffffff;
constexpr char kDecoderMessageCaption[] = "JPEG Error";
constexpr int kRgbComponents = 3;

// The decoder's input: the library's source fields and operations, then the
// resource being handed over in chunks of at most kSourceBufferSize bytes.
struct MemorySource {
    jpeg_source_mgr pub;
    int32_t position;          // bytes of the resource already handed over
    const JOCTET* nextData;    // first resource byte not yet handed over
    JOCTET* buffer;            // kSourceBufferSize bytes, permanent pool
    int32_t size;              // total size of the resource
    bool endMarkerInserted;    // the resource ran out and a fake EOI was given
};

// The library's standard error manager with the recovery point of the decode
// step that is running, and the last fatal message (kept for a debugger; it is
// never shown).
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf recoveryPoint;
    char lastFatalMessage[JMSG_LENGTH_MAX];
};

// Everything one decode needs, as plain C records: the guarded steps below may
// be left by longjmp at any point, so nothing in them may need a destructor.
struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager error;
    jpeg_progress_mgr progress;
};

ErrorManager* ErrorOf(j_common_ptr cinfo) { return reinterpret_cast<ErrorManager*>(cinfo->err); }

[[noreturn]] void ExitWithError(j_common_ptr cinfo) {
    ErrorManager* error = ErrorOf(cinfo);
    (*cinfo->err->format_message)(cinfo, error->lastFatalMessage);
    std::longjmp(error->recoveryPoint, 1);
}

// The library calls this for the warnings it lets through (the first one of a
// stream, by its default emit_message).
void OutputMessage(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    // The decoder runs while a full-screen saver window is topmost; a box
    // below it could not be seen or answered, and it is modal.
    ShowMessageBox(message, kDecoderMessageCaption, MessageIcon::Warning, true);
}

// Called by the library between units of input; a progressive picture is
// read completely inside jpeg_start_decompress, so this is where its scan
// count is seen.
void LimitScans(j_common_ptr cinfo) {
    auto* decompressor = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decompressor->input_scan_number > kMaxPictureScans) {
        ErrorManager* error = ErrorOf(cinfo);
        std::snprintf(error->lastFatalMessage, sizeof error->lastFatalMessage,
                      "more than %d scans", kMaxPictureScans);
        std::longjmp(error->recoveryPoint, 1);
    }
}

void InitSource(j_decompress_ptr) {}

void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    auto* source = reinterpret_cast<MemorySource*>(cinfo->src);
    int32_t remaining = source->size - source->position;
    int32_t count = remaining >= static_cast<int32_t>(kSourceBufferSize)
                        ? static_cast<int32_t>(kSourceBufferSize)
                        : remaining;
    if (count == 0) {
        // The resource ended before the image did. The first time, hand over
        // an end-of-image marker, as the library's own sources do, so that a
        // picture cut off in its entropy data ends with its lower rows grey.
        // A decoder that still wants more after that is reading a cut-off
        // header: stop it rather than feed it markers forever.
        if (source->endMarkerInserted) ERREXIT(cinfo, JERR_INPUT_EOF);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        source->pub.next_input_byte = source->buffer;
        source->pub.bytes_in_buffer = 2;
        source->endMarkerInserted = true;
        return TRUE;
    }
    std::memcpy(source->buffer, source->nextData, static_cast<size_t>(count));
    source->position += count;
    source->nextData += count;
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = static_cast<size_t>(count);
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    auto* source = reinterpret_cast<MemorySource*>(cinfo->src);
    while (count > static_cast<long>(source->pub.bytes_in_buffer)) {
        count -= static_cast<long>(source->pub.bytes_in_buffer);
        if (source->position == source->size) {
            // The skip reaches past the end of the resource: stop at the end.
            // The next read then finds nothing left and gets the end marker.
            source->pub.next_input_byte = source->buffer;
            source->pub.bytes_in_buffer = 0;
            return;
        }
        FillInputBuffer(cinfo);
    }
    source->pub.next_input_byte += count;
    source->pub.bytes_in_buffer -= static_cast<size_t>(count);
}

void AttachMemorySource(j_decompress_ptr cinfo, const unsigned char* data, int32_t size) {
    if (cinfo->src == nullptr) {
        auto* source = static_cast<MemorySource*>(
            (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT,
                                       sizeof(MemorySource)));
        source->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kSourceBufferSize));
        cinfo->src = &source->pub;
    }
    auto* source = reinterpret_cast<MemorySource*>(cinfo->src);
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->nextData = data;
    source->size = size;
    source->position = 0;
    source->endMarkerInserted = false;
    source->pub.bytes_in_buffer = 0;
    source->pub.next_input_byte = nullptr;
}

// First guarded step: creates the decompressor, reads the header and starts
// decompression once the picture is known to be acceptable. The caller
// destroys the decompressor whatever this returns.
bool StartDecoding(Decoder* decoder, const unsigned char* data, int32_t size, int* width,
                   int* height, int* components) {
    jpeg_decompress_struct* cinfo = &decoder->cinfo;
    cinfo->err = jpeg_std_error(&decoder->error.pub);
    decoder->error.pub.error_exit = ExitWithError;
    decoder->error.pub.output_message = OutputMessage;
    if (setjmp(decoder->error.recoveryPoint)) return false;

    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = kDecoderMemoryLimit;
    decoder->progress.progress_monitor = LimitScans;
    cinfo->progress = &decoder->progress;
    AttachMemorySource(cinfo, data, size);

    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
    jpeg_calc_output_dimensions(cinfo);
    if (cinfo->output_components != 1 && cinfo->output_components != kRgbComponents) return false;
    uint64_t pixels = static_cast<uint64_t>(cinfo->output_width) * cinfo->output_height;
    if (pixels == 0 || pixels > kMaxPicturePixels) return false;

    if (!jpeg_start_decompress(cinfo)) return false;
    *width = static_cast<int>(cinfo->output_width);
    *height = static_cast<int>(cinfo->output_height);
    *components = cinfo->output_components;
    return true;
}

// Second guarded step: reads every scanline into pixels (width * height * 3
// bytes, owned by the caller), expanding grey samples to RGB, and finishes.
bool ReadRows(Decoder* decoder, unsigned char* pixels, int width, int height, int components) {
    jpeg_decompress_struct* cinfo = &decoder->cinfo;
    if (setjmp(decoder->error.recoveryPoint)) return false;

    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                  static_cast<JDIMENSION>(width * components), 1);
    size_t rowBytes = static_cast<size_t>(width) * kRgbComponents;
    while (cinfo->output_scanline < static_cast<JDIMENSION>(height)) {
        // The memory source never suspends, so every call delivers a row.
        if (jpeg_read_scanlines(cinfo, row, 1) != 1) return false;
        unsigned char* target = pixels + (cinfo->output_scanline - 1) * rowBytes;
        if (components == kRgbComponents) {
            std::memcpy(target, row[0], rowBytes);
        } else {
            for (int x = 0; x < width; ++x) {
                JSAMPLE grey = row[0][x];
                target[x * 3 + 0] = grey;
                target[x * 3 + 1] = grey;
                target[x * 3 + 2] = grey;
            }
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

bool Resize(std::vector<unsigned char>* buffer, size_t bytes) {
    try {
        buffer->assign(bytes, 0);
    } catch (const std::bad_alloc&) {
        buffer->clear();
        return false;
    }
    return true;
}

}  // namespace

bool DecodeJpegPicture(const unsigned char* data, size_t size, PictureRows* picture) {
    picture->pixels.clear();
    picture->width = 0;
    picture->height = 0;
    if (data == nullptr || size == 0 || size > static_cast<size_t>(kMaxResourceSize)) return false;

    Decoder decoder;
    std::memset(&decoder, 0, sizeof decoder);
    int width = 0, height = 0, components = 0;
    bool decoded = StartDecoding(&decoder, data, static_cast<int32_t>(size), &width, &height,
                                 &components);
    if (decoded) {
        decoded = Resize(&picture->pixels, static_cast<size_t>(width) * height * kRgbComponents) &&
                  ReadRows(&decoder, picture->pixels.data(), width, height, components);
    }
    jpeg_destroy_decompress(&decoder.cinfo);
    if (!decoded) {
        picture->pixels.clear();
        return false;
    }
    picture->width = width;
    picture->height = height;
    return true;
}

size_t TextureRowBytes(int width) { return ((static_cast<size_t>(width) * 24 + 31) / 32) * 4; }

bool ToTextureRows(const PictureRows& picture, std::vector<unsigned char>* rows) {
    size_t stride = TextureRowBytes(picture.width);
    size_t rowBytes = static_cast<size_t>(picture.width) * kRgbComponents;
    if (!Resize(rows, stride * picture.height)) return false;
    // Bottom row first: texture coordinate t = 0 is the picture's bottom edge.
    for (int i = 0; i < picture.height; ++i) {
        std::memcpy(rows->data() + i * stride,
                    picture.pixels.data() + (picture.height - 1 - i) * rowBytes, rowBytes);
    }
    return true;
}

void LoadJpegTexture(NativeModule library, int pictureId, int* width, int* height) {
    *width = 0;
    *height = 0;
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (library == nullptr ||
        !FindResourceBytes(library, kPictureResourceType, pictureId, &data, &size)) {
        return;
    }
    PictureRows picture;
    if (!DecodeJpegPicture(data, size, &picture)) return;
    std::vector<unsigned char> rows;
    if (!ToTextureRows(picture, &rows)) return;
    *width = picture.width;
    *height = picture.height;
    UploadMipmappedTexture(picture.width, picture.height, rows.data());
}
