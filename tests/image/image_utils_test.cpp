#include "image/image_cache.h"
#include "image/image_type.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

std::unique_ptr<TImageCacheEntry> Picture() {
    auto item = std::make_unique<TImageCacheEntry>();
    item->MImage = std::make_unique<TBitmapImage>(Bitmap(2, 2));
    return item;
}

TEST(ImageCache, UnusedImagesAgeOut) {
    TImageCache cache;
    cache.MaxCache = 2;
    cache.AddObject("b.gif", Picture());
    cache.AddObject("a.gif", Picture());
    EXPECT_EQ(cache.Name(0), "a.gif");
    cache.DropUse("a.gif");
    cache.DropUse("b.gif");
    cache.AgeAndPurge();
    cache.AgeAndPurge();
    ASSERT_EQ(cache.Count(), 2);
    cache.GetImage(cache.IndexOf("b.gif")); // fetched again: its age restarts
    cache.DropUse("b.gif");
    cache.AgeAndPurge(); // a.gif now exceeds MaxCache
    EXPECT_EQ(cache.IndexOf("a.gif"), -1);
    EXPECT_EQ(cache.Count(), 1);
    cache.AddUse("b.gif");
    for (int i = 0; i < 10; ++i)
        cache.AgeAndPurge();
    EXPECT_EQ(cache.Count(), 1); // in use: never dropped
    cache.DropUse("b.gif");
    cache.SetCacheLimit(0);
    EXPECT_EQ(cache.Count(), 0);
    EXPECT_EQ(cache.MaxCache, 0);
}

TEST(ImageCache, AddingANameTwiceKeepsTheFirstPicture) {
    TImageCache cache;
    TImageCacheEntry* first = cache.AddObject("a.gif", Picture());
    EXPECT_EQ(cache.AddObject("a.gif", Picture()), first);
    EXPECT_EQ(first->UsageCount, 2);
}

// Pixels are given bottom row last; only exact copies of the lower-left
// one clear, alpha included.
TEST(ImageCache, LowerLeftTransparent) {
    const uint32_t red = 0xFFFF0000, half = 0x80FF0000, black = 0xFF000000;
    const struct {
        std::vector<uint32_t> pixels, expected;
    } rows[] = {
        {{black, red, red, black}, {black, 0, 0, black}},
        {{half, red, red, black}, {half, 0, 0, black}},
        {{red, half, half, red}, {red, 0, 0, red}},
    };
    for (const auto& row : rows) {
        Bitmap picture(2, 2);
        picture.Pixels = row.pixels;
        EXPECT_EQ(WithLowerLeftTransparent(picture).Pixels, row.expected);
    }
    auto item = Picture();
    const Bitmap* made = item->LowerLeftTransparent();
    ASSERT_TRUE(made);
    EXPECT_EQ(item->LowerLeftTransparent(), made);
    EXPECT_EQ(made->Pixels, std::vector<uint32_t>(4, 0));
    EXPECT_EQ(static_cast<TBitmapImage&>(*item->MImage).Picture.Pixels[0], black);
}

// Pictures, and the copies their users keep, are charged to the budget;
// pictures nobody uses give way to new ones; a new budget takes over what
// the cache holds, and the cache gives everything back when it goes.
TEST(ImageCache, PicturesAreChargedToTheirBudget) {
    const auto budget = std::make_shared<TPictureBudget>(48); // three 2 x 2 pictures
    {
        TImageCache cache;
        cache.SetBudget(budget);
        ASSERT_TRUE(cache.AddObject("a.gif", Picture()));
        ASSERT_TRUE(cache.AddObject("b.gif", Picture()));
        EXPECT_TRUE(cache.Charge(16)); // at the limit
        EXPECT_FALSE(cache.Charge(1)); // past it, with every picture in use
        EXPECT_EQ(cache.AddObject("c.gif", Picture()), nullptr);
        EXPECT_EQ(budget->Used(), 48);
        cache.DropUse("a.gif");
        EXPECT_EQ(cache.Room(), 16);
        EXPECT_TRUE(cache.AddObject("c.gif", Picture()));
        EXPECT_EQ(cache.IndexOf("a.gif"), -1);
        cache.Discharge(16);
        const auto other = std::make_shared<TPictureBudget>();
        cache.SetBudget(other);
        EXPECT_EQ(budget->Used(), 0);
        EXPECT_EQ(other->Used(), 32);
        cache.SetBudget(budget);
    }
    EXPECT_EQ(budget->Used(), 0);
}

TEST(ImageTypes, FromFirstBytes) {
    const struct {
        std::string_view header;
        TImageType type;
    } rows[] = {
        {"GIF89a", TImageType::Gif89},
        {"GIF87a", TImageType::Gif87},
        {"GIF8", TImageType::Gif87},
        {"BM..", TImageType::Bmp},
        {"\x89PNG\r\n", TImageType::Png},
        {"\xFF\xD8\xFF\xE0", TImageType::Jpeg},
        {"\xFF\xD8\xFF\xE1", TImageType::Jpeg}, // Exif
        {"\xFF\xD8\xFF\xEE", TImageType::Jpeg}, // Adobe
        {"\xFF\xD8\xFF", TImageType::Unknown},
        {"", TImageType::Unknown},
        {"G", TImageType::Unknown},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DetectImageType(row.header), row.type) << row.header;

    test::TempFolder folder;
    folder.Write("short.gif", "GIF8");
    folder.Write("empty.gif", "");
    EXPECT_EQ(FileImageType(folder / "short.gif"), TImageType::Gif87); // only 4 bytes there
    EXPECT_EQ(FileImageType(folder / "empty.gif"), TImageType::Unknown);
    EXPECT_EQ(FileImageType(folder / "missing.gif"), TImageType::Unknown);
}

TEST(ImageTypes, TransparentGif) {
    // 1x1 GIF 89 with a two-colour palette and a control extension naming entry 1.
    std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00"
                    "\x00\x00\x00\xFF\x00\x80"
                    "\x21\xF9\x04\x01\x00\x00\x01\x00"
                    "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B",
                    43);
    TColor color = 0;
    EXPECT_TRUE(IsTransparentGifData(gif, color));
    EXPECT_EQ(color, 0x8000FFu);
    std::string opaque = gif;
    opaque[22] = 0; // flags without transparency
    EXPECT_FALSE(IsTransparentGifData(opaque, color));
    for (size_t cut = 0; cut < gif.size(); ++cut)
        IsTransparentGifData(gif.substr(0, cut), color);
}

} // namespace
} // namespace lumo
