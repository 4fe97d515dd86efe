#include "image/Jpeg.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

static_assert(JPEG_LIB_VERSION == 62, "Tavik speaks libjpeg's interface of version 62");
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "the off-screen image's pixel words must be blue, green, red, unused in memory");

namespace tavik {

namespace {

// Largest picture the loader accepts (bitmap bytes); bigger ones are refused
// with the codec's out-of-memory error instead of exhausting the device.
constexpr std::size_t kMaxPictureBytes = std::size_t{256} << 20;

// --- error manager ---------------------------------------------------------
// Plain data only: control leaves the codec with longjmp, so nothing between
// the setjmp of a call and the codec's error exit may need a destructor.
struct ErrorManager {
    jpeg_error_mgr pub;  // first, so the codec's pointer is ours
    std::jmp_buf jump;
    bool failed;
    char message[JMSG_LENGTH_MAX];
    bool warned;
    char warning[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    err->failed = true;
    std::longjmp(err->jump, 1);
}

// Warnings (level -1) are kept, the first of a call only; trace messages are dropped.
void EmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (err->pub.num_warnings == 0) {
        (*cinfo->err->format_message)(cinfo, err->warning);
        err->warned = true;
    }
    err->pub.num_warnings++;
}

void OutputMessage(j_common_ptr) {}

jpeg_error_mgr* InitErrorManager(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    err.pub.output_message = OutputMessage;
    err.failed = false;
    err.message[0] = '\0';
    err.warned = false;
    err.warning[0] = '\0';
    return &err.pub;
}

void Report(const ErrorManager& err, JpegReporter* reporter) {
    if (!reporter) return;
    if (err.warned) reporter->JpegWarning(err.warning);
    if (err.failed) reporter->JpegError(err.message);
}

// --- file transfer -----------------------------------------------------------
bool WriteAll(int fd, const JOCTET* data, std::size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        data += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

ssize_t ReadSome(int fd, JOCTET* data, std::size_t n) {
    for (;;) {
        const ssize_t r = ::read(fd, data, n);
        if (r < 0 && errno == EINTR) continue;
        return r;
    }
}

// --- destination manager: 4096-byte buffer on a file descriptor ---------------
struct Destination {
    jpeg_destination_mgr pub;  // first
    int fd;
    JOCTET* buffer;
};

void InitDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    d->buffer = static_cast<JOCTET*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, kJpegFileBufferBytes));
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = kJpegFileBufferBytes;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    if (!WriteAll(d->fd, d->buffer, kJpegFileBufferBytes)) ERREXIT(cinfo, JERR_FILE_WRITE);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = kJpegFileBufferBytes;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    const std::size_t n = kJpegFileBufferBytes - d->pub.free_in_buffer;
    if (n > 0 && !WriteAll(d->fd, d->buffer, n)) ERREXIT(cinfo, JERR_FILE_WRITE);
}

// --- source manager: 4096-byte buffer on a file descriptor --------------------
struct Source {
    jpeg_source_mgr pub;  // first
    int fd;
    JOCTET* buffer;
    bool startOfFile;  // nothing read from the file yet
};

void InitSource(j_decompress_ptr cinfo) {
    reinterpret_cast<Source*>(cinfo->src)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    auto* s = reinterpret_cast<Source*>(cinfo->src);
    ssize_t n = ReadSome(s->fd, s->buffer, kJpegFileBufferBytes);
    if (n <= 0) {
        if (s->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // A truncated file: an end-of-image marker lets the codec finish with
        // what it has decoded.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        s->buffer[0] = 0xFF;
        s->buffer[1] = JPEG_EOI;
        n = 2;
    }
    s->pub.next_input_byte = s->buffer;
    s->pub.bytes_in_buffer = static_cast<std::size_t>(n);
    s->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    auto* s = reinterpret_cast<Source*>(cinfo->src);
    while (count > static_cast<long>(s->pub.bytes_in_buffer)) {
        count -= static_cast<long>(s->pub.bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    s->pub.next_input_byte += count;
    s->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

// --- one call's codec objects (plain data) --------------------------------------
struct Encoder {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    Destination dest;
};

struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    Source src;
};

bool Encode(Encoder& e, const QImage& image, int fd) {
    j_compress_ptr cinfo = &e.cinfo;
    cinfo->err = InitErrorManager(e.err);
    if (setjmp(e.err.jump)) {
        jpeg_destroy_compress(cinfo);
        return false;
    }
    jpeg_CreateCompress(cinfo, JPEG_LIB_VERSION, sizeof(jpeg_compress_struct));
    cinfo->image_width = static_cast<JDIMENSION>(image.width());
    cinfo->image_height = static_cast<JDIMENSION>(image.height());
    // The rows go to the encoder straight from the off-screen image, no row is
    // converted: libjpeg-turbo's extended colour space JCS_EXT_BGRX takes each
    // 4-byte pixel as blue, green, red, unused, which is exactly the
    // little-endian Format_RGB32 word. The file holds true colours.
    cinfo->input_components = 4;
    cinfo->in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(cinfo);
    e.dest.fd = fd;
    e.dest.buffer = nullptr;
    e.dest.pub.init_destination = InitDestination;
    e.dest.pub.empty_output_buffer = EmptyOutputBuffer;
    e.dest.pub.term_destination = TermDestination;
    cinfo->dest = &e.dest.pub;
    jpeg_set_quality(cinfo, 100, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.constScanLine(static_cast<int>(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}

// Sizes and allocates the bitmap; false when it is too large or memory runs out.
bool AllocatePicture(JpegPicture& out, int width, int height) noexcept {
    const int stride = Bitmap24Stride(width);
    const std::size_t bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    if (bytes > kMaxPictureBytes) return false;
    try {
        out.bits.assign(bytes, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    out.width = width;
    out.height = height;
    out.stride = stride;
    return true;
}

bool Decode(Decoder& d, JpegPicture& out, int fd) {
    j_decompress_ptr cinfo = &d.cinfo;
    cinfo->err = InitErrorManager(d.err);
    if (setjmp(d.err.jump)) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    jpeg_CreateDecompress(cinfo, JPEG_LIB_VERSION, sizeof(jpeg_decompress_struct));
    d.src.fd = fd;
    d.src.buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo),
                                                                   JPOOL_PERMANENT, kJpegFileBufferBytes));
    d.src.startOfFile = true;
    d.src.pub.init_source = InitSource;
    d.src.pub.fill_input_buffer = FillInputBuffer;
    d.src.pub.skip_input_data = SkipInputData;
    d.src.pub.resync_to_restart = jpeg_resync_to_restart;
    d.src.pub.term_source = TermSource;
    d.src.pub.bytes_in_buffer = 0;
    d.src.pub.next_input_byte = nullptr;
    cinfo->src = &d.src.pub;
    jpeg_read_header(cinfo, TRUE);
    // Rows come out as blue, green, red and go straight into the bitmap; the
    // codec expands grey-scale files to the same three bytes, so they show grey.
    cinfo->out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(cinfo);
    const int width = static_cast<int>(cinfo->output_width);
    const int height = static_cast<int>(cinfo->output_height);
    if (!AllocatePicture(out, width, height)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out.bits.data() +
                       static_cast<std::size_t>(height - 1 - static_cast<int>(cinfo->output_scanline)) * out.stride;
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    return true;
}

}  // namespace

bool WriteJpegFile(const std::filesystem::path& path, const QImage& image, JpegReporter* reporter) {
    const QImage::Format f = image.format();
    const bool direct = f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
                        f == QImage::Format_ARGB32_Premultiplied;
    const QImage source = direct ? image : image.convertToFormat(QImage::Format_RGB32);
    if (source.isNull()) return false;

    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);

    Encoder e;
    std::memset(&e, 0, sizeof e);
    bool ok = Encode(e, source, fd);
    if (::close(fd) != 0 && ok) {
        // The last bytes did not reach the file: the codec's own words for it.
        jpeg_error_mgr table;
        jpeg_std_error(&table);
        std::snprintf(e.err.message, sizeof e.err.message, "%s", table.jpeg_message_table[JERR_FILE_WRITE]);
        e.err.failed = true;
        ok = false;
    }
    if (!ok && regular) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
    Report(e.err, reporter);
    return ok;
}

std::optional<JpegPicture> LoadJpegPicture(const std::filesystem::path& path, JpegReporter* reporter) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    JpegPicture picture;
    Decoder d;
    std::memset(&d, 0, sizeof d);
    const bool ok = Decode(d, picture, fd);
    ::close(fd);
    Report(d.err, reporter);
    if (!ok) return std::nullopt;
    return picture;
}

QImage JpegPicture::ToImage() const {
    QImage image(width, height, QImage::Format_BGR888);
    if (image.isNull()) return image;
    for (int k = 0; k < height; ++k) std::memcpy(image.scanLine(k), TopRow(k), static_cast<std::size_t>(width) * 3);
    return image;
}

}  // namespace tavik
