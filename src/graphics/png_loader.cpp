// PNG files through libpng, fed from memory so that packed files load too. Accepted: every
// colour type that expands to RGB without transparency, and RGBA (the alpha channel becomes the
// alpha plane). Grey with alpha and images whose tRNS chunk would add alpha are refused.
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/picture_file.h"
#include "graphics/picture_loader.h"

namespace adv {

namespace {

// Deflate cannot do better than about 1032 : 1, so image data larger than that many times the
// file is a lie, refused before anything is allocated.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

// Everything the decoder touches between setjmp and a possible longjmp lives here: plain data
// only, so that no destructor is skipped and no local variable is left indeterminate.
struct PngJob {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t position;
  png_structp png;
  png_infop info;
  std::uint8_t* pixels;  // malloc
  png_bytep* rows;       // malloc
  png_uint_32 width;
  png_uint_32 height;
  bool alpha;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
  if (length > job->size - job->position) png_error(png, "read past the end of the file");
  std::memcpy(out, job->data + job->position, length);
  job->position += length;
}

void OnError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// Decodes into job->pixels (width x height x 3 or 4 bytes). No C++ object with a destructor
// may be created in here: libpng's errors leave through longjmp.
[[nodiscard]] bool Decode(PngJob* job) {
  job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (job->png == nullptr) return false;
  job->info = png_create_info_struct(job->png);
  if (job->info == nullptr) return false;
  if (setjmp(png_jmpbuf(job->png))) return false;

  png_set_read_fn(job->png, job, ReadFromMemory);
  png_set_user_limits(job->png, CDrawImage::kMaxSide, CDrawImage::kMaxSide);
  png_read_info(job->png, job->info);
  int bit_depth = 0;
  int colour_type = 0;
  int interlace = 0;
  png_get_IHDR(job->png, job->info, &job->width, &job->height, &bit_depth, &colour_type, &interlace,
               nullptr, nullptr);
  if (std::uint64_t{job->width} * job->height >
      static_cast<std::uint64_t>(CDrawImage::kMaxPixels)) {
    return false;
  }
  const std::uint64_t stored_row =
      (std::uint64_t{job->width} * png_get_channels(job->png, job->info) * bit_depth + 7) / 8 + 1;
  if (stored_row * job->height > kMaxDeflateRatio * job->size) return false;

  job->alpha = (colour_type & PNG_COLOR_MASK_ALPHA) != 0;
  png_set_expand(job->png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_strip_16(job->png);
  if (colour_type == PNG_COLOR_TYPE_GRAY) png_set_gray_to_rgb(job->png);
  png_set_interlace_handling(job->png);
  png_read_update_info(job->png, job->info);

  const int wanted = job->alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  if (png_get_color_type(job->png, job->info) != wanted ||
      png_get_bit_depth(job->png, job->info) != 8) {
    return false;
  }
  const std::size_t row_bytes = png_get_rowbytes(job->png, job->info);
  if (row_bytes != std::size_t{job->width} * (job->alpha ? 4 : 3)) return false;
  job->pixels = static_cast<std::uint8_t*>(std::malloc(row_bytes * job->height));
  job->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * job->height));
  if (job->pixels == nullptr || job->rows == nullptr) return false;
  for (png_uint_32 y = 0; y < job->height; ++y) job->rows[y] = job->pixels + y * row_bytes;
  png_read_image(job->png, job->rows);
  png_read_end(job->png, nullptr);
  return true;
}

void Release(PngJob* job) {
  if (job->png != nullptr) {
    png_destroy_read_struct(&job->png, &job->info, nullptr);
  }
  std::free(job->pixels);
  std::free(job->rows);
}

bool ToSurface(const PngJob& job, CDrawImage& surface) {
  const int width = static_cast<int>(job.width);
  const int height = static_cast<int>(job.height);
  if (!surface.Create(width, height)) return false;
  std::uint8_t* alpha = job.alpha ? surface.AllocateAlpha() : nullptr;
  if (job.alpha && alpha == nullptr) return false;
  const int channels = job.alpha ? 4 : 3;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* s = job.pixels + static_cast<std::size_t>(y) * width * channels;
    Pixel* d = surface.Row(y);
    for (int x = 0; x < width; ++x, s += channels) {
      d[x] = ColorToPixel(MakeColour(s[0], s[1], s[2]));
      if (alpha != nullptr) alpha[static_cast<std::size_t>(y) * width + x] = s[3];
    }
  }
  return true;
}

}  // namespace

bool LoadPng(CDrawImage& surface, std::string_view name, const LoadContext& context) {
  std::vector<std::uint8_t> bytes;
  constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
  if (!ReadPictureFile(context, name, std::string_view(kSignature, 8), 8, bytes)) return false;
  PngJob job{};
  job.data = bytes.data();
  job.size = bytes.size();
  const bool decoded = Decode(&job);
  const bool ok = decoded && ToSurface(job, surface);
  Release(&job);
  return ok;
}

}  // namespace adv
