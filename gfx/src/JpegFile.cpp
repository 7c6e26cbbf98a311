#include "gfx/JpegFile.h"

#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstring>
#include <memory>

namespace tovrik::gfx {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return.
// We format the message (kept for a debugger, never shown) and jump back to
// the recovery point. Only plain C data lives between setjmp and longjmp.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf recovery;
  char message[JMSG_LENGTH_MAX];
};

void OnFatalError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  err->pub.format_message(cinfo, err->message);
  std::longjmp(err->recovery, 1);
}

// Warnings that mean the rest of the image would be made up: the data ran
// out or went corrupt. libjpeg would go on filling every remaining block, as
// many as the header claims, so a few bytes could cost seconds; such a stream
// is refused instead. Other warnings (stray bytes between markers) are
// harmless and ignored.
void OnWarning(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  const int code = cinfo->err->msg_code;
  if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_HUFF_BAD_CODE) OnFatalError(cinfo);
}

// The most libjpeg may allocate for one image (a progressive stream keeps all
// its coefficients): beyond it the decoder fails instead of allocating.
constexpr long kMaxDecoderMemory = 256L << 20;

void InstallErrorManager(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = OnFatalError;
  err.pub.emit_message = OnWarning;
  err.message[0] = '\0';
}

enum class Source { kFile, kMemory };

// Decodes into `out`, which belongs to the caller so that nothing with a
// destructor sits in the frame the error handler jumps to.
bool Decode(Source kind, std::FILE* file, const std::uint8_t* bytes, std::size_t size, std::vector<std::uint8_t>& out,
            int& width, int& height) {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  cinfo.err = &err.pub;
  InstallErrorManager(err);
  if (setjmp(err.recovery)) {
    jpeg_destroy_decompress(&cinfo);
    width = height = 0;
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
  if (kind == Source::kFile) {
    jpeg_stdio_src(&cinfo, file);
  } else {
    jpeg_mem_src(&cinfo, bytes, static_cast<unsigned long>(size));
  }
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_start_decompress(&cinfo);
  const int w = static_cast<int>(cinfo.output_width);
  const int h = static_cast<int>(cinfo.output_height);
  const int components = cinfo.output_components;
  if (w <= 0 || h <= 0) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  width = w;
  height = h;
  JSAMPARRAY line = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                               static_cast<JDIMENSION>(w * components), 1);
  // Rows are added as they are decoded, so that memory follows the data that
  // is really there, not the size the header claims.
  const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
  out.clear();
  while (cinfo.output_scanline < cinfo.output_height) {
    if (jpeg_read_scanlines(&cinfo, line, 1) != 1) break;
    out.resize(out.size() + rowBytes);
    std::uint8_t* dst = out.data() + out.size() - rowBytes;
    if (components == 3) {
      std::memcpy(dst, line[0], static_cast<std::size_t>(w) * 3);
    } else if (components == 1) {
      for (int x = 0; x < w; ++x) dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = line[0][x];
    }
  }
  if (out.size() != rowBytes * static_cast<std::size_t>(h)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// Reads the header alone: the image size, before anything is decoded.
bool ReadSize(const std::uint8_t* bytes, std::size_t size, int& width, int& height) {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  cinfo.err = &err.pub;
  InstallErrorManager(err);
  if (setjmp(err.recovery)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes, static_cast<unsigned long>(size));
  const bool read = jpeg_read_header(&cinfo, TRUE) == JPEG_HEADER_OK;
  width = read ? static_cast<int>(cinfo.image_width) : 0;
  height = read ? static_cast<int>(cinfo.image_height) : 0;
  jpeg_destroy_decompress(&cinfo);
  return read && width > 0 && height > 0;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

bool Encode(std::FILE* file, const std::uint8_t* pixels, int width, int height, int components, int quality) {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  cinfo.err = &err.pub;
  InstallErrorManager(err);
  if (setjmp(err.recovery)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const std::size_t rowBytes = static_cast<std::size_t>(width) * components;
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels + cinfo.next_scanline * rowBytes);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

std::vector<std::uint8_t> JpegFile::JpegFileToRGB(std::FILE* file, int& width, int& height) {
  width = height = 0;
  std::vector<std::uint8_t> out;
  if (!file || !Decode(Source::kFile, file, nullptr, 0, out, width, height)) {
    width = height = 0;
    return {};
  }
  return out;
}

std::vector<std::uint8_t> JpegFile::JpegFileToRGB(const std::filesystem::path& path, int& width, int& height) {
  width = height = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return {};
  return JpegFileToRGB(file.get(), width, height);
}

std::vector<std::uint8_t> JpegFile::JpegMemoryToRGB(std::span<const std::uint8_t> bytes, int& width, int& height) {
  width = height = 0;
  std::vector<std::uint8_t> out;
  if (bytes.empty() || !Decode(Source::kMemory, nullptr, bytes.data(), bytes.size(), out, width, height)) {
    width = height = 0;
    return {};
  }
  return out;
}

bool JpegFile::JpegMemorySize(std::span<const std::uint8_t> bytes, int& width, int& height) {
  width = height = 0;
  if (bytes.empty() || !ReadSize(bytes.data(), bytes.size(), width, height)) {
    width = height = 0;
    return false;
  }
  return true;
}

int JpegFile::RGBToJpegFile(const std::filesystem::path& path, std::span<const std::uint8_t> rgb, int width, int height,
                            int color, int quality) {
  if (rgb.empty() || width <= 0 || height <= 0) return 0;
  const std::size_t pixels = static_cast<std::size_t>(width) * height;
  if (rgb.size() < pixels * 3) return 0;
  std::vector<std::uint8_t> grey;
  const std::uint8_t* source = rgb.data();
  if (!color) {
    grey.resize(pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
      const double value = 0.299 * rgb[3 * i] + 0.587 * rgb[3 * i + 1] + 0.114 * rgb[3 * i + 2];
      grey[i] = static_cast<std::uint8_t>(value);
    }
    source = grey.data();
  }
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return 0;
  const bool encoded = Encode(file.get(), source, width, height, color ? 3 : 1, quality);
  const bool closed = std::fclose(file.release()) == 0;
  if (!encoded || !closed) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return 0;
  }
  return 1;
}

}  // namespace tovrik::gfx
