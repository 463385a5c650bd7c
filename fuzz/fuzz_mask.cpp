// A mask picture (BMP, or JPEG when there is no BMP) and the outline cut
// from it. The first byte picks the format.
#include "Colors.h"
#include "FuzzSupport.h"
#include "MaskRegion.h"
#include "OrganicShapeException.h"
#include "ShapeFormUnit.h"
#include "SpeedBitmap.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool jpeg = data[0] & 1;
    const QString base = fuzzFolder() + "mask";
    QFile::remove(base + ".bmp");
    QFile::remove(base + ".jpg");
    writeInput(jpeg ? "mask.jpg" : "mask.bmp", data + 1, size - 1);
    try {
        TSpeedBitmap bitmap;
        loadMaskBitmap(bitmap, base);
        if (!bitmap.isEmpty() && bitmap.width() * bitmap.height() <= 1024 * 1024)
            maskRegion(bitmap, clMagenta);
    } catch (const OrganicShapeException &) {
    }
    return 0;
}
