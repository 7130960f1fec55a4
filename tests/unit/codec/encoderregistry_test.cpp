#include "codec/encoderregistry.h"
#include "codec/gdistatus.h"

#include <gtest/gtest.h>

namespace quillcap {
namespace {

TEST(EncoderRegistry, ChoosesTheEncoderByExtensionIgnoringCase) {
    const struct {
        const char *fileName;
        const char *encoder; // nullptr: no encoder
    } cases[] = {
        {"/p/a.jpg", "JPEG"},         {"/p/a.JPG", "JPEG"},
        {"/p/a.jpeg", "JPEG"},        {"/p/a.jfif", "JPEG"},
        {"/p/a.Jpe", "JPEG"},         {"/p/a.bmp", "BMP"},
        {"/p/a.dib", "BMP"},          {"/p/a.rle", "BMP"},
        {"/p/a.gif", "GIF"},          {"/p/a.tif", "TIFF"},
        {"/p/a.TIFF", "TIFF"},        {"/p/a.png", "PNG"},
        {"/p/a.b.png", "PNG"},        {"C:\\my.folder\\shot", nullptr},
        {"/my.folder/shot", nullptr}, {"/p/a.txt", nullptr},
        {"/p/shot", nullptr},         {"/p/shot.", nullptr},
        {"/p/a.png ", nullptr},
    };
    const EncoderRegistry registry;
    for (const auto &c : cases) {
        const EncoderInfo *found = registry.ForFileName(QString::fromUtf8(c.fileName));
        if (c.encoder) {
            EXPECT_TRUE(found && QLatin1String(found->name) == QLatin1String(c.encoder))
                << c.fileName;
        } else {
            EXPECT_EQ(found, nullptr) << c.fileName;
        }
    }
}

TEST(GdiErrorString, ReadsTheTable) {
    EXPECT_EQ(GdiErrorString(0), QStringLiteral("Unknown GDI+ Error"));
    EXPECT_EQ(GdiErrorString(1), QStringLiteral("Generic Error"));
    EXPECT_EQ(GdiErrorString(7), QStringLiteral("Win32 Error"));
    EXPECT_EQ(GdiErrorString(13), QStringLiteral("Unknown Image Format"));
    EXPECT_EQ(GdiErrorString(20), QStringLiteral("Property Not Supported"));
    EXPECT_EQ(GdiErrorString(21), QStringLiteral("Unknown GDI+ Error"));
    EXPECT_EQ(GdiErrorString(-1), QStringLiteral("Unknown GDI+ Error"));
}

} // namespace
} // namespace quillcap
