// The JPEG loader against pictures this test encodes itself with libjpeg:
// what reaches the texture upload (size, row order, padding), and that every
// broken or unsuitable stream ends in 0 x 0 with nothing uploaded.
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "fake_texture.h"
#include "picture.h"
#include "platform/resources.h"
#include "test_support.h"

namespace {

constexpr int kPictureId = 142;

struct Fixture {
    Fixture(int width, int height, J_COLOR_SPACE space = JCS_RGB, bool progressive = false,
            std::vector<jpeg_scan_info> scans = {})
        : width(width), height(height), space(space), progressive(progressive), scans(scans) {}
    int width;
    int height;
    J_COLOR_SPACE space;
    bool progressive;
    std::vector<jpeg_scan_info> scans;  // a scan script of its own when not empty
};

// The expected sample of component c at row y: a vertical ramp, so the row
// order shows in every pixel and flat rows survive JPEG almost unchanged.
int Sample(const Fixture& f, int y, int c) {
    int ramp = f.height > 1 ? y * 255 / (f.height - 1) : 128;
    return c == 0 ? ramp : c == 1 ? 255 - ramp : 96;
}

std::vector<unsigned char> Encode(const Fixture& f) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = f.width;
    cinfo.image_height = f.height;
    cinfo.input_components = f.space == JCS_GRAYSCALE ? 1 : f.space == JCS_CMYK ? 4 : 3;
    cinfo.in_color_space = f.space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;  // no chroma subsampling
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    if (f.progressive) jpeg_simple_progression(&cinfo);
    if (!f.scans.empty()) {
        cinfo.scan_info = f.scans.data();
        cinfo.num_scans = static_cast<int>(f.scans.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(f.width) * cinfo.input_components);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < f.width; ++x) {
            for (int c = 0; c < cinfo.input_components; ++c) {
                row[x * cinfo.input_components + c] =
                    static_cast<JSAMPLE>(Sample(f, static_cast<int>(cinfo.next_scanline), c % 3));
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

// A greyscale progressive script of exactly count scans (at least 65): the DC
// scan in two steps, one scan per AC coefficient, and refinement scans for
// as many coefficients as the count still allows.
std::vector<jpeg_scan_info> ProgressiveScript(int count) {
    int refined = count - 65;
    std::vector<jpeg_scan_info> scans;
    scans.push_back({1, {0}, 0, 0, 0, 1});
    scans.push_back({1, {0}, 0, 0, 1, 0});
    for (int k = 1; k <= 63; ++k) scans.push_back({1, {0}, k, k, 0, k <= refined ? 1 : 0});
    for (int k = 1; k <= refined; ++k) scans.push_back({1, {0}, k, k, 1, 0});
    return scans;
}

class PictureTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        fake::ClearUploads();
        library = LoadResourceLibrary("CHRONOVALE.DLL");
    }

    // Loads bytes as picture 142; returns the size LoadJpegTexture reports.
    std::pair<int, int> Load(const std::vector<unsigned char>& bytes) {
        fake::Fake().resources[{"JPG", kPictureId}] = bytes;
        int width = -1, height = -1;
        LoadJpegTexture(library, kPictureId, &width, &height);
        return {width, height};
    }

    void ExpectNothingUploaded(const std::vector<unsigned char>& bytes) {
        EXPECT_EQ(Load(bytes), std::make_pair(0, 0));
        EXPECT_TRUE(fake::Uploads().empty());
    }

    // Every uploaded row against the fixture's rows in reverse order, its
    // padding zero; rows from firstUncheckedRow (of the picture, from the
    // top) on are not compared.
    void ExpectUploadedBottomUp(const Fixture& f, int firstUncheckedRow = 1 << 30) {
        ASSERT_EQ(fake::Uploads().size(), 1u);
        const fake::TextureUpload& upload = fake::Uploads()[0];
        ASSERT_EQ(upload.width, f.width);
        ASSERT_EQ(upload.height, f.height);
        size_t stride = (f.width * 3 + 3) / 4 * 4;
        ASSERT_EQ(upload.rows.size(), stride * f.height);
        for (int i = 0; i < f.height; ++i) {
            int pictureRow = f.height - 1 - i;
            const unsigned char* row = &upload.rows[i * stride];
            for (size_t pad = f.width * 3; pad < stride; ++pad) ASSERT_EQ(row[pad], 0) << "row " << i;
            if (pictureRow >= firstUncheckedRow) continue;
            for (int x = 0; x < f.width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    int expected = f.space == JCS_GRAYSCALE ? Sample(f, pictureRow, 0) : Sample(f, pictureRow, c);
                    ASSERT_NEAR(row[x * 3 + c], expected, 4) << "row " << i << " x " << x << " c " << c;
                }
            }
        }
    }

    NativeModule library = nullptr;
};

}  // namespace

TEST_F(PictureTest, colour_and_grey_pictures_arrive_bottom_row_first_in_padded_rows) {
    const Fixture fixtures[] = {
        {255, 37},                  // 765-byte rows padded to 768; odd height keeps its middle row
        {256, 20},                  // 768-byte rows need no padding
        {255, 37, JCS_GRAYSCALE},   // grey expanded to equal red, green and blue
        {13, 5, JCS_GRAYSCALE},
        {64, 48, JCS_RGB, true},    // progressive, within the scan limit
    };
    for (const Fixture& f : fixtures) {
        SCOPED_TRACE(testing::Message() << f.width << "x" << f.height << " space " << f.space);
        fake::ClearUploads();
        EXPECT_EQ(Load(Encode(f)), std::make_pair(f.width, f.height));
        ExpectUploadedBottomUp(f);
    }
    EXPECT_TRUE(fake::Fake().messageBoxes.empty());
}

TEST_F(PictureTest, streams_below_and_above_one_source_buffer_both_decode) {
    Fixture small{8, 8, JCS_GRAYSCALE};
    Fixture large{256, 256};
    std::vector<unsigned char> smallBytes = Encode(small), largeBytes = Encode(large);
    ASSERT_LT(smallBytes.size(), 4096u);
    ASSERT_GT(largeBytes.size(), 3 * 4096u);
    EXPECT_EQ(Load(smallBytes), std::make_pair(8, 8));
    ExpectUploadedBottomUp(small);
    fake::ClearUploads();
    EXPECT_EQ(Load(largeBytes), std::make_pair(256, 256));
    ExpectUploadedBottomUp(large);
}

TEST_F(PictureTest, cut_entropy_data_ends_the_picture_early_with_one_warning) {
    Fixture f{128, 128};
    std::vector<unsigned char> bytes = Encode(f);
    bytes.resize(bytes.size() / 2);
    EXPECT_EQ(Load(bytes), std::make_pair(128, 128));
    // The rows before the cut are intact; the rest is filled in by the decoder.
    ExpectUploadedBottomUp(f, 40);
    ASSERT_EQ(fake::Fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake::Fake().messageBoxes[0].caption, "JPEG Error");
    EXPECT_TRUE(fake::Fake().messageBoxes[0].topmost);
}

TEST_F(PictureTest, every_cut_of_a_stream_terminates_and_a_cut_header_uploads_nothing) {
    std::vector<unsigned char> whole = Encode({16, 16, JCS_GRAYSCALE});
    for (size_t length = 1; length < whole.size(); ++length) {
        fake::ClearUploads();
        std::pair<int, int> size = Load(std::vector<unsigned char>(whole.begin(), whole.begin() + length));
        EXPECT_TRUE(size == std::make_pair(16, 16) || size == std::make_pair(0, 0)) << length;
        EXPECT_EQ(fake::Uploads().size(), size.first ? 1u : 0u) << length;
    }
    fake::ClearUploads();
    ExpectNothingUploaded(std::vector<unsigned char>(whole.begin(), whole.begin() + 100));
}

TEST_F(PictureTest, corrupt_entropy_data_is_a_warning_and_the_picture_still_loads) {
    std::vector<unsigned char> bytes = Encode({64, 64});
    // A restart marker in the middle of the entropy data of a stream without
    // restart intervals: the decoder fills in the rest and skips to the end.
    bytes[bytes.size() / 2] = 0xFF;
    bytes[bytes.size() / 2 + 1] = 0xD0;
    EXPECT_EQ(Load(bytes), std::make_pair(64, 64));
    EXPECT_EQ(fake::Uploads().size(), 1u);
    ASSERT_EQ(fake::Fake().messageBoxes.size(), 1u);
    EXPECT_EQ(fake::Fake().messageBoxes[0].caption, "JPEG Error");
}

TEST_F(PictureTest, unsuitable_streams_and_missing_pictures_upload_nothing) {
    ExpectNothingUploaded(Encode({16, 16, JCS_CMYK}));
    ExpectNothingUploaded(Encode({16, 16, JCS_GRAYSCALE, true, ProgressiveScript(101)}));
    ExpectNothingUploaded({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0});
    // Fatal errors are never shown to the user.
    EXPECT_TRUE(fake::Fake().messageBoxes.empty());

    fake::Fake().resources.clear();
    int width = -1, height = -1;
    LoadJpegTexture(library, kPictureId, &width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    LoadJpegTexture(nullptr, kPictureId, &width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_TRUE(fake::Uploads().empty());

    // The scan limit itself is allowed.
    Fixture limit{16, 16, JCS_GRAYSCALE, true, ProgressiveScript(100)};
    EXPECT_EQ(Load(Encode(limit)), std::make_pair(16, 16));
    ExpectUploadedBottomUp(limit);
}

TEST_F(PictureTest, declared_sizes_past_the_limit_are_refused_before_decoding) {
    std::vector<unsigned char> bytes = Encode({16, 16, JCS_GRAYSCALE});
    // The baseline frame header: FF C0, length, precision, height, width.
    size_t sof = 2;
    while (!(bytes[sof] == 0xFF && bytes[sof + 1] == 0xC0)) ++sof;
    auto declare = [&](int width, int height) {
        std::vector<unsigned char> changed = bytes;
        changed[sof + 5] = static_cast<unsigned char>(height >> 8);
        changed[sof + 6] = static_cast<unsigned char>(height);
        changed[sof + 7] = static_cast<unsigned char>(width >> 8);
        changed[sof + 8] = static_cast<unsigned char>(width);
        return changed;
    };
    ExpectNothingUploaded(declare(4097, 4096));
    ExpectNothingUploaded(declare(65000, 65000));
    EXPECT_TRUE(fake::Fake().messageBoxes.empty());
}
