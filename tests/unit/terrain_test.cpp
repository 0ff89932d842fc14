// The terrain's reader and mesh: the grid, heights, faces, padding, every refusal in its order of
// precedence, and the real constructor ending the program with the message on standard output.
#include "helpers/bmp_builder.h"
#include "helpers/child_process.h"
#include "objects/terrain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

terrainBmpResult parse(const std::vector<unsigned char>& bytes) {
    return parseTerrainBmp(bytes.data(), bytes.size());
}

bmpSpec sized(int32_t w, int32_t h) {
    bmpSpec s;
    s.width = w;
    s.height = h;
    return s;
}

std::unique_ptr<terrain> terrainOf(const bmpSpec& spec) {
    terrainBmpResult parsed = parse(makeBmp(spec));
    EXPECT_TRUE(parsed.ok) << parsed.message;
    return std::make_unique<terrain>(parsed.grid);
}

// Runs the file-reading constructor in a child whose working directory holds the file.
childOutcome constructFrom(const std::vector<unsigned char>* bytes, const std::string& name) {
    std::string dir = testing::TempDir() + "terrain_" + std::to_string(getpid());
    if (bytes) {
        writeResource(dir, name, *bytes);
    } else {
        writeResource(dir, "placeholder.bmp", {});
    }
    return runInChild([dir, name] {
        if (chdir(dir.c_str()) != 0) {
            std::exit(99);
        }
        terrain t(name.c_str());
        std::exit(t.getVertexCount() > 0 ? 0 : 98);
    });
}

bmpSpec with_compression(bmpSpec s) {
    s.compression = 1;
    return s;
}

} // namespace

TEST(TerrainGrid, TwoByTwoMakesTwoUpwardTriangles) {
    auto t = terrainOf(sized(2, 2));
    ASSERT_EQ(t->getVertexCount(), 4);
    ASSERT_EQ(t->getFaceCount(), 2);
    EXPECT_EQ(t->gridFace(0).vertex(0), 0);
    EXPECT_EQ(t->gridFace(0).vertex(1), 3);
    EXPECT_EQ(t->gridFace(0).vertex(2), 2);
    EXPECT_EQ(t->gridFace(1).vertex(0), 0);
    EXPECT_EQ(t->gridFace(1).vertex(1), 1);
    EXPECT_EQ(t->gridFace(1).vertex(2), 3);
    for (int f = 0; f < 2; ++f) {
        EXPECT_FLOAT_EQ(t->gridFace(f).faceNormal.data[1], 1.0f);
    }
    float r, g, b, a;
    t->getColour(r, g, b, a);
    EXPECT_EQ(g, 1.0f);
    EXPECT_EQ(r + b, 0.0f);
    EXPECT_FALSE(t->isTranslucent());
}

TEST(TerrainGrid, CoordinatesAreCentredAndRowsRunTowardsMinusZ) {
    bmpSpec spec = sized(4, 4);
    spec.pixel = [](int r, int c, unsigned char* bgr) { bgr[0] = bgr[1] = bgr[2] = uint8_t(r * 4 + c); };
    auto t = terrainOf(spec);
    const float xs[4] = {-2, -1, 0, 1}, zs[4] = {2, 1, 0, -1};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const vec& p = t->gridVertex(r * 4 + c).coordinate;
            EXPECT_EQ(p.data[0], xs[c]);
            EXPECT_EQ(p.data[2], zs[r]);
            EXPECT_NEAR(p.data[1], float(r * 4 + c) / 128 - 1, 1e-6f);
        }
    }
    auto odd = terrainOf(sized(3, 5));
    EXPECT_EQ(odd->gridVertex(0).coordinate.data[0], -1);
    EXPECT_EQ(odd->gridVertex(0).coordinate.data[2], 2);
    EXPECT_EQ(odd->gridVertex(14).coordinate.data[2], -2);
}

TEST(TerrainGrid, BrightnessGivesTheHeight) {
    EXPECT_FLOAT_EQ(pixelHeight(0, 0, 255), -0.40234375f);
    EXPECT_EQ(pixelHeight(0, 0, 0), -1.0f);
    EXPECT_FLOAT_EQ(pixelHeight(255, 255, 255), 0.9921875f);
    EXPECT_NEAR(pixelHeight(128, 128, 128), 0.0f, 1e-7f);
    EXPECT_FLOAT_EQ(pixelHeight(255, 0, 0), float(0.11 * 255 / 128 - 1));
}

TEST(TerrainGrid, ThinImagesHaveNoFacesAndZeroNormals) {
    for (bmpSpec spec : {sized(1, 7), sized(9, 1), sized(1, 1)}) {
        auto t = terrainOf(spec);
        EXPECT_EQ(t->getFaceCount(), 0);
        EXPECT_EQ(t->getVertexCount(), spec.width * spec.height);
        EXPECT_EQ(t->gridVertex(0).normal.data[1], 0.0f);
    }
}

TEST(TerrainGrid, AFlatImageHasUpwardNormals) {
    auto t = terrainOf(sized(5, 6));
    for (int v = 0; v < 30; ++v) {
        const vec& n = t->gridVertex(v).normal;
        EXPECT_NEAR(n.data[0], 0, 1e-6f);
        EXPECT_NEAR(n.data[1], 1, 1e-6f);
        EXPECT_NEAR(n.data[2], 0, 1e-6f);
    }
}

TEST(TerrainGrid, RowPaddingIsSkipped) {
    for (int width : {3, 4, 5, 6}) {
        bmpSpec spec = sized(width, 3);
        spec.padding = 0xFF; // white padding would show up as spikes if it were read
        spec.pixel = [](int r, int c, unsigned char* bgr) { bgr[0] = bgr[1] = bgr[2] = uint8_t(10 * r + c); };
        terrainBmpResult parsed = parse(makeBmp(spec));
        ASSERT_TRUE(parsed.ok);
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < width; ++c) {
                EXPECT_NEAR(parsed.grid.heights[size_t(r * width + c)], (10 * r + c) / 128.0 - 1, 1e-6)
                    << width << " wide, row " << r << " column " << c;
            }
        }
    }
    EXPECT_EQ(makeBmp(sized(3, 1)).size(), 54u + 12u);
    EXPECT_EQ(makeBmp(sized(4, 1)).size(), 54u + 12u);
}

TEST(TerrainReader, SizesUpToTheCapAreAccepted) {
    EXPECT_TRUE(parse(makeBmp(sized(128, 128))).ok);
    terrainBmpResult largest = parse(makeBmp(sized(181, 181)));
    ASSERT_TRUE(largest.ok);
    terrain t(largest.grid);
    EXPECT_EQ(t.getVertexCount(), 32761);
    EXPECT_EQ(t.getFaceCount(), 2 * 180 * 180);
    EXPECT_EQ(parse(makeBmp(sized(256, 128))).message, kTerrainTooLarge);
    EXPECT_EQ(parse(makeBmp(sized(32767, 1))).message, ""); // 32767 pixels: just allowed
    EXPECT_EQ(parse(makeBmp(sized(32768, 1))).message, kTerrainTooLarge);
    EXPECT_EQ(parse(makeBmp(sized(65537, 1))).message, kTerrainTooLarge); // not cut to 1 wide
}

TEST(TerrainReader, RefusalsComeInTheirOrder) {
    struct refusal {
        const char* what;
        bmpSpec spec;
        const char* message;
    };
    auto with = [](bmpSpec s, auto change) {
        change(s);
        return s;
    };
    const refusal refusals[] = {
        {"zero width", sized(0, 4), kTerrainBadSize},
        {"zero height", sized(4, 0), kTerrainBadSize},
        {"top-down rows", sized(4, -4), kTerrainBadSize},
        {"negative width", sized(-4, 4), kTerrainBadSize},
        {"8-bit over the cap", with(sized(300, 300), [](bmpSpec& s) { s.bitCount = 8; s.colourTable = 256; }),
         kTerrainTooLarge},
        {"colour table", with(sized(4, 4), [](bmpSpec& s) { s.bitCount = 8; s.colourTable = 256; }),
         kTerrainColourTable},
        {"colour table and compression",
         with(sized(4, 4), [](bmpSpec& s) { s.colourTable = 2; s.compression = 1; }), kTerrainColourTable},
        {"RLE", with(sized(4, 4), [](bmpSpec& s) { s.compression = 1; }), kTerrainCompressed},
        {"bit fields", with(sized(4, 4), [](bmpSpec& s) { s.bitCount = 32; s.compression = 3; }),
         kTerrainCompressed},
        {"32-bit", with(sized(4, 4), [](bmpSpec& s) { s.bitCount = 32; }), kTerrainNot24Bit},
        {"16-bit", with(sized(4, 4), [](bmpSpec& s) { s.bitCount = 16; }), kTerrainNot24Bit},
        {"8-bit without a table", with(sized(4, 4), [](bmpSpec& s) { s.bitCount = 8; }), kTerrainNot24Bit},
    };
    for (const refusal& r : refusals) {
        EXPECT_EQ(parse(makeBmp(r.spec)).message, r.message) << r.what;
    }
    std::vector<unsigned char> notBmp = makeBmp(sized(300, 300));
    notBmp[0] = 'P';
    EXPECT_EQ(parse(notBmp).message, kTerrainNotBmp); // before the size check
}

TEST(TerrainReader, ShortFilesAndExtraBytes) {
    std::vector<unsigned char> bytes = makeBmp(sized(3, 3));
    for (size_t cut : {size_t(0), size_t(1), size_t(2), size_t(20), size_t(53)}) {
        std::vector<unsigned char> head(bytes.begin(), bytes.begin() + long(cut));
        EXPECT_EQ(parse(head).message, kTerrainTooShort) << cut;
    }
    std::vector<unsigned char> headersOnly(bytes.begin(), bytes.begin() + 54);
    EXPECT_EQ(parse(headersOnly).message, kTerrainPastEnd);
    std::vector<unsigned char> lastPixelMissing(bytes.begin(), bytes.end() - 4);
    EXPECT_EQ(parse(lastPixelMissing).message, kTerrainPastEnd);
    std::vector<unsigned char> lastPaddingMissing(bytes.begin(), bytes.end() - 3);
    EXPECT_TRUE(parse(lastPaddingMissing).ok);
    std::vector<unsigned char> longer = bytes;
    longer.insert(longer.end(), 1000, 0xFF);
    terrainBmpResult parsed = parse(longer);
    ASSERT_TRUE(parsed.ok);
    EXPECT_NEAR(parsed.grid.heights.back(), 0, 1e-6f);
}

TEST(TerrainReader, PixelsStartWhereOffBitsSays) {
    bmpSpec spec = sized(2, 2);
    spec.gapAfterHeaders = 84; // a V5 info header is 124 bytes long
    spec.pixel = [](int, int, unsigned char* bgr) { bgr[0] = bgr[1] = bgr[2] = 0; };
    terrainBmpResult parsed = parse(makeBmp(spec));
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.grid.heights[0], -1.0f);
    // An offBits below 54 keeps the pixels right after the two headers.
    bmpSpec careless = sized(2, 2);
    careless.writeOffBits = false;
    EXPECT_TRUE(parse(makeBmp(careless)).ok);
    std::vector<unsigned char> beyond = makeBmp(sized(2, 2));
    beyond[10] = 0xFF; // offBits far past the end of the file
    beyond[13] = 0x7F;
    EXPECT_EQ(parse(beyond).message, kTerrainPastEnd);
}

TEST(TerrainCopy, ACloneHasItsOwnMesh) {
    auto t = terrainOf(sized(3, 3));
    std::unique_ptr<object3D> copy(t->clone());
    auto* twin = dynamic_cast<terrain*>(copy.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->getWidth(), 3);
    EXPECT_EQ(twin->getHeight(), 3);
    EXPECT_NE(&twin->gridVertex(0), &t->gridVertex(0));
    EXPECT_EQ(twin->gridVertex(8).coordinate.data[0], t->gridVertex(8).coordinate.data[0]);
}

TEST(TerrainCopy, EndianSwaps) {
    unsigned char shortField[2] = {1, 2};
    endianSwapShort(shortField);
    EXPECT_EQ(shortField[0], 2);
    EXPECT_EQ(shortField[1], 1);
    unsigned char longField[4] = {1, 2, 3, 4};
    endianSwapLong(longField);
    EXPECT_EQ(longField[0], 4);
    EXPECT_EQ(longField[1], 3);
    EXPECT_EQ(longField[2], 2);
    EXPECT_EQ(longField[3], 1);
}

TEST(TerrainFile, FailuresEndTheProgramWithTheirMessage) {
    std::vector<unsigned char> good = makeBmp(sized(3, 3));
    childOutcome ok = constructFrom(&good, "ground.bmp");
    EXPECT_EQ(ok.exitStatus, 0);
    EXPECT_EQ(ok.standardOutput, "");

    std::vector<unsigned char> truncated(good.begin(), good.begin() + 60);
    childOutcome shortRead = constructFrom(&truncated, "ground.bmp");
    EXPECT_EQ(shortRead.exitStatus, 255);
    EXPECT_EQ(shortRead.standardOutput, std::string(kTerrainPastEnd) + "\n");

    std::vector<unsigned char> compressed = makeBmp(with_compression(sized(2, 2)));
    childOutcome rle = constructFrom(&compressed, "ground.bmp");
    EXPECT_EQ(rle.standardOutput, std::string(kTerrainCompressed) + "\n");

    for (const char* missing : {"no-such-file.bmp", "", "."}) {
        childOutcome outcome = constructFrom(nullptr, missing);
        EXPECT_EQ(outcome.exitStatus, 255) << missing;
        EXPECT_EQ(outcome.standardOutput, "error opening terrain file\n") << missing;
    }
    std::string longName(1100, 'x');
    childOutcome tooLong = constructFrom(nullptr, longName);
    EXPECT_EQ(tooLong.exitStatus, 255);
    EXPECT_EQ(tooLong.standardOutput, "terrain file path is too long\n");
    std::string justFits(1024 - 13, 'y'); // "./resources/" + name + terminator = 1024
    childOutcome fits = constructFrom(nullptr, justFits);
    EXPECT_EQ(fits.standardOutput, "error opening terrain file\n");
}
