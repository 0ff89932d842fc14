// Hex panels and hex domes: where their blocks end up, the reveal and build-up schedules, and
// the sharing and release of their parts between an object and its clones.
#include "objects/bcc_triangle_block.h"
#include "objects/hex.h"
#include "objects/hexdome.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

const float kPanelInfo[7] = {0.08f, 0.05f, 0.957f, 0.643f, 0.376f, 1.0f, 4.0f};

// A block's vertex in scene coordinates.
vec cornerOf(object3D* block, int corner) {
    auto* b = dynamic_cast<bcc_triangle_block*>(block);
    vec v = b->blockVertex(corner).coordinate;
    block->getAbsoluteLocation(v);
    return v;
}

float distance(const vec& a, const vec& b) {
    float dx = a.data[0] - b.data[0], dy = a.data[1] - b.data[1], dz = a.data[2] - b.data[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

std::vector<bool> shown(const hex& panel) {
    std::vector<bool> result;
    for (int i = 0; i < panel.blockCount(); ++i) {
        result.push_back(!panel.block(i)->isInvisible());
    }
    return result;
}

int shownPanels(const hexdome& dome, int ring) {
    int n = 0;
    for (int i = 0; i < 5; ++i) {
        n += !dome.panel(ring, i)->isInvisible();
    }
    return n;
}

} // namespace

TEST(HexPanel, BlocksMeetAtTheAxisAndCloseTheHexagon) {
    hex panel(kPanelInfo, false);
    ASSERT_EQ(panel.blockCount(), 6);
    vec top;
    top.set(0, 4, 0);
    for (int i = 0; i < 6; ++i) {
        EXPECT_LT(distance(cornerOf(panel.block(i), 0), top), 2e-5f) << "block " << i;
        int previous = (i + 5) % 6;
        EXPECT_LT(distance(cornerOf(panel.block(i), 1), cornerOf(panel.block(previous), 2)), 2e-5f)
            << "block " << i << " and " << previous;
        EXPECT_EQ(panel.block(i)->getParent(), panel.guide());
    }
    EXPECT_EQ(panel.guide()->getParent(), &panel);
    EXPECT_EQ(panel.getVertexCount(), 0);
}

TEST(HexPanel, AHalfPanelKeepsTheNegativeZHalf) {
    hex half(kPanelInfo, true);
    ASSERT_EQ(half.blockCount(), 3);
    for (int i = 3; i < 6; ++i) {
        EXPECT_EQ(half.block(i), nullptr);
    }
    for (int i = 0; i < 3; ++i) {
        // Block centres (their AIJ-IJ midpoints) lie on the -z side, or on the x axis.
        vec mid = cornerOf(half.block(i), 1);
        EXPECT_LE(mid.data[2], 1e-5f) << i;
    }
    half.animate(0.5f);
    half.animate(10);
    EXPECT_EQ(shown(half), std::vector<bool>({true, true, true}));
}

TEST(HexPanel, RevealsOneBlockASecond) {
    hex panel(kPanelInfo, false);
    EXPECT_EQ(shown(panel), std::vector<bool>(6, true));
    panel.animate(0.5f);
    EXPECT_EQ(shown(panel), std::vector<bool>(6, false));
    panel.animate(0.999f);
    EXPECT_EQ(shown(panel), std::vector<bool>(6, false));
    panel.animate(1.0f);
    EXPECT_EQ(shown(panel), std::vector<bool>({true, false, false, false, false, false}));
    panel.animate(3.5f);
    EXPECT_EQ(shown(panel), std::vector<bool>({true, true, true, false, false, false}));
    panel.animate(-2); // going back never hides
    EXPECT_EQ(shown(panel), std::vector<bool>({true, true, true, false, false, false}));
    panel.animate(6);
    EXPECT_EQ(shown(panel), std::vector<bool>(6, true));

    hex late(kPanelInfo, false);
    late.animate(6.0f); // hidden and shown again in the same call
    EXPECT_EQ(shown(late), std::vector<bool>(6, true));
    hex early(kPanelInfo, false);
    early.animate(-3.0f);
    early.animate(0.0f);
    EXPECT_EQ(shown(early), std::vector<bool>(6, false));
}

TEST(HexPanel, ClonesShareBlocksButNotTheirSchedule) {
    auto panel = std::make_unique<hex>(kPanelInfo, false);
    std::unique_ptr<object3D> copy(panel->clone());
    auto* twin = dynamic_cast<hex*>(copy.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->block(4), panel->block(4));
    twin->animate(2.0f); // hides all, shows blocks 0 and 1 for both
    EXPECT_EQ(shown(*panel), std::vector<bool>({true, true, false, false, false, false}));
    panel->animate(0.0f); // the original's first call: it hides everything again
    EXPECT_EQ(shown(*twin), std::vector<bool>(6, false));
    twin->animate(2.0f); // the clone's schedule has already started
    EXPECT_EQ(shown(*panel), std::vector<bool>({true, true, false, false, false, false}));

    // The original goes first: the clone still reaches every block through a live guide.
    panel->setLocation(1, 2, 3);
    panel.reset();
    EXPECT_EQ(twin->guide()->getParent(), twin);
    vec corner = cornerOf(twin->block(3), 0);
    EXPECT_NEAR(corner.data[1], 4, 1e-4f);
}

TEST(HexDome, OpenAndClosedDomesHaveTheirRings) {
    hexdome open(kPanelInfo, false);
    hexdome closed(kPanelInfo, true);
    EXPECT_EQ(open.ringCount(), 3);
    EXPECT_EQ(closed.ringCount(), 4);
    int openBlocks = 0, closedBlocks = 0;
    for (int r = 0; r < 3; ++r) {
        for (int i = 0; i < 5; ++i) {
            openBlocks += dynamic_cast<hex*>(open.panel(r, i))->blockCount();
        }
    }
    for (int r = 0; r < 4; ++r) {
        for (int i = 0; i < 5; ++i) {
            closedBlocks += dynamic_cast<hex*>(closed.panel(r, i))->blockCount();
        }
    }
    EXPECT_EQ(openBlocks, 75);
    EXPECT_EQ(closedBlocks, 120);
    float x, y, z;
    open.panel(0, 2)->getOrientation(x, y, z);
    EXPECT_FLOAT_EQ(y, 216);
    open.panel(2, 3)->getOrientation(x, y, z);
    EXPECT_FLOAT_EQ(y, 252);
}

TEST(HexDome, PanelCentresLieAtTheScaleFromTheOrigin) {
    hexdome closed(kPanelInfo, true);
    vec origin;
    for (int r = 0; r < 4; ++r) {
        for (int i = 0; i < 5; ++i) {
            auto* panel = dynamic_cast<hex*>(closed.panel(r, i));
            EXPECT_NEAR(distance(cornerOf(panel->block(0), 0), origin), 4.0f, 2e-5f)
                << "ring " << r << " panel " << i;
        }
    }
}

TEST(HexDome, AClosedShellSharesEveryCornerBetweenTwoPanels) {
    hexdome closed(kPanelInfo, true);
    struct corner {
        vec where;
        std::vector<int> panels;
        int uses = 0;
    };
    std::vector<corner> corners;
    for (int r = 0; r < 4; ++r) {
        for (int i = 0; i < 5; ++i) {
            auto* panel = dynamic_cast<hex*>(closed.panel(r, i));
            for (int b = 0; b < 6; ++b) {
                for (int v : {1, 2}) {
                    vec p = cornerOf(panel->block(b), v);
                    corner* match = nullptr;
                    for (corner& c : corners) {
                        if (distance(c.where, p) < 1e-3f) {
                            match = &c;
                        }
                    }
                    if (!match) {
                        corners.push_back({p, {}, 0});
                        match = &corners.back();
                    }
                    match->uses++;
                    int id = r * 5 + i;
                    if (match->panels.empty() || match->panels.back() != id) {
                        match->panels.push_back(id);
                    }
                }
            }
        }
    }
    EXPECT_EQ(corners.size(), 60u);
    for (const corner& c : corners) {
        EXPECT_EQ(c.panels.size(), 2u);
        EXPECT_EQ(c.uses, 4); // two neighbouring blocks in each of the two panels
    }
}

TEST(HexDome, BuildsUpFromTheLowestRing) {
    hexdome open(kPanelInfo, false);
    open.animate(0);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(shownPanels(open, r), 0);
    }
    open.animate(11.99f);
    EXPECT_EQ(shownPanels(open, 2), 0);
    open.animate(12);
    EXPECT_EQ(shownPanels(open, 2), 1);
    open.animate(16);
    EXPECT_EQ(shownPanels(open, 2), 5);
    EXPECT_EQ(shownPanels(open, 1), 0);
    open.animate(25.5f);
    EXPECT_EQ(shownPanels(open, 1), 2);
    open.animate(3); // never hides again
    EXPECT_EQ(shownPanels(open, 1), 2);
    open.animate(39.9f);
    EXPECT_EQ(shownPanels(open, 0), 4);
    open.animate(40);
    EXPECT_EQ(shownPanels(open, 0), 5);

    hexdome closed(kPanelInfo, true);
    closed.animate(-1);
    EXPECT_EQ(shownPanels(closed, 3), 0);
    closed.animate(1);
    EXPECT_EQ(shownPanels(closed, 3), 1);
    EXPECT_EQ(shownPanels(closed, 2), 0);
    hexdome complete(kPanelInfo, true);
    complete.animate(40);
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(shownPanels(complete, r), 5);
    }
}

TEST(HexDome, ClonesShareThePanelsAndReleaseThemOnceInEitherOrder) {
    for (bool originalFirst : {true, false}) {
        auto dome = std::make_unique<hexdome>(kPanelInfo, false);
        std::unique_ptr<object3D> copy(dome->clone());
        auto* twin = dynamic_cast<hexdome*>(copy.get());
        ASSERT_NE(twin, nullptr);
        EXPECT_EQ(twin->panel(1, 3), dome->panel(1, 3));
        twin->animate(13);
        EXPECT_EQ(shownPanels(*dome, 2), 2);
        EXPECT_EQ(shownPanels(*dome, 0), 0);
        if (originalFirst) {
            dome.reset();
            // The guide panel hangs from the survivor now, never from a deleted dome.
            EXPECT_EQ(twin->guide()->getParent(), twin);
            twin->animate(40);
            EXPECT_EQ(shownPanels(*twin, 0), 5);
            vec centre = cornerOf(dynamic_cast<hex*>(twin->panel(0, 0))->block(0), 0);
            EXPECT_NEAR(distance(centre, vec()), 4, 1e-4f);
            copy.reset();
        } else {
            copy.reset();
            EXPECT_EQ(dome->guide()->getParent(), dome.get());
            dome->animate(40);
            dome.reset();
        }
    }
}
