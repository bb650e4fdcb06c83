/* Image plug-ins ("*.spi") for adv: native shared libraries exporting three C functions.
 *
 * The engine reads a whole picture file into memory and asks every plug-in in the plug-in folder,
 * in the order the folder lists them, whether it reads the file; the first that says yes decodes
 * it. The buffer holds the file's bytes and, for files shorter than 2048 bytes, at least 2048
 * zero bytes after them, so a plug-in may look at the first 2 KB without checking the length.
 *
 *   int IsSupported(const char* name, void* bytes)
 *     name: the file name the game gave (Shift-JIS); bytes: the buffer. Non-zero: "I read it".
 *   int GetPictureInfo(void* bytes, long length, unsigned flag, SusiePictureInfo* info)
 *     flag is 1 (input in memory). The engine reads info->width and info->height only; the
 *     record is zeroed before the call. If the plug-in sets info->info_text it must be a block
 *     from malloc; the engine frees it.
 *   int GetPicture(void* bytes, long length, unsigned flag, void** bitmap_info, void** bits,
 *                  void* progress, long data)
 *     flag is 1, progress is null, data is 0. Returns 0 on success, with *bitmap_info and *bits
 *     pointing to blocks the plug-in allocated with malloc; the engine frees both with free(),
 *     on failure too when they are not null (they are null before the call).
 *
 * *bitmap_info holds a Windows BITMAPINFO: a BITMAPINFOHEADER of 40 bytes or more (the OS/2
 * 12-byte header is not read), then, for BI_BITFIELDS with a 40-byte header, the three masks,
 * then the colour table (biClrUsed entries, or 2^bits when biClrUsed is 0, for 1, 4 and 8 bits).
 * *bits holds the rows (each padded to 4 bytes, bottom-up, or top-down when biHeight is
 * negative), or biSizeImage bytes of RLE8 / RLE4 data. The engine reads no more than that.
 */
#ifndef ADV_GRAPHICS_SUSIE_API_H_
#define ADV_GRAPHICS_SUSIE_API_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)
typedef struct SusiePictureInfo {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  uint16_t x_density;
  uint16_t y_density;
  int16_t colour_depth;
  char* info_text;
} SusiePictureInfo;
#pragma pack(pop)

typedef int (*SusieIsSupportedFn)(const char* name, void* bytes);
typedef int (*SusieGetPictureInfoFn)(void* bytes, long length, unsigned flag,
                                     SusiePictureInfo* info);
typedef int (*SusieGetPictureFn)(void* bytes, long length, unsigned flag, void** bitmap_info,
                                 void** bits, void* progress, long data);

#ifdef __cplusplus
}
#endif

#endif /* ADV_GRAPHICS_SUSIE_API_H_ */
