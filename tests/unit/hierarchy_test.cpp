// Copying, merging, re-parenting and destroying scene objects and their chains; the lights'
// construction rules.
#include "helpers/child_process.h"
#include "helpers/test_shape.h"
#include "support/light.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

class Hierarchy : public testing::Test {
  protected:
    void SetUp() override { testShape::destroyed = 0; }
};

int chainLength(const testShape& head) {
    int n = 0;
    for (object3D* m = head.next(); m; m = static_cast<testShape*>(m)->next()) {
        ++n;
    }
    return n;
}

testShape* member(const testShape& head, int index) {
    object3D* m = head.next();
    for (int i = 0; i < index; ++i) {
        m = static_cast<testShape*>(m)->next();
    }
    return static_cast<testShape*>(m);
}

} // namespace

TEST_F(Hierarchy, ACopyOwnsItsMeshAndSharesParentTextureAndList) {
    testShape parent;
    testShape source;
    source.makeMesh(10, 4);
    source.setParent(&parent);
    texture* handle = reinterpret_cast<texture*>(&parent);
    source.setTexture(handle, 2, 3);
    source.setListName(42);
    source.setColour(0.1f, 0.2f, 0.3f, 0.4f);
    source.setLocalScale(2, 3, 4);
    testShape copy(source);
    ASSERT_EQ(copy.getVertexCount(), 10);
    ASSERT_EQ(copy.getFaceCount(), 4);
    EXPECT_NE(copy.meshVertices(), source.meshVertices());
    copy.meshVertices()[3].set(100, 100, 100);
    EXPECT_EQ(source.meshVertices()[3].coordinate.data[0], 3);
    EXPECT_EQ(copy.getParent(), &parent);
    EXPECT_EQ(copy.getTexture(), handle);
    EXPECT_EQ(copy.getListName(), 42u);
    EXPECT_TRUE(copy.isTranslucent());
    EXPECT_EQ(copy.getLocalScale().data[1], 3);
    testShape& same = copy;
    copy = same; // self-assignment is a no-op
    EXPECT_EQ(copy.getVertexCount(), 10);
}

TEST_F(Hierarchy, MergingAppendsACloneWithItsChain) {
    testShape a, b, b1, b2;
    b += b1;
    b += b2;
    ASSERT_EQ(chainLength(b), 2);
    EXPECT_EQ(member(b, 0)->getParent(), &b);
    a += b;
    ASSERT_EQ(chainLength(a), 3);
    testShape* bClone = member(a, 0);
    EXPECT_EQ(bClone->getParent(), &a);
    // Cloning the unparented b made the clone the parent of its copied chain.
    EXPECT_EQ(member(a, 1)->getParent(), bClone);
    EXPECT_EQ(member(a, 2)->getParent(), bClone);
}

TEST_F(Hierarchy, CopyingAnUnparentedHeadReparentsItsChainToTheCopy) {
    testShape head, m1, m2;
    head += m1;
    head += m2;
    testShape copy(head);
    ASSERT_EQ(chainLength(copy), 2);
    EXPECT_EQ(member(copy, 0)->getParent(), &copy);
    EXPECT_EQ(member(copy, 1)->getParent(), &copy);
    EXPECT_NE(member(copy, 0), member(head, 0));
}

TEST_F(Hierarchy, DeletingAHeadDestroysEveryMemberOnce) {
    testShape* head = new testShape;
    testShape one, two;
    *head += one;
    *head += two;
    *head += one;
    testShape::destroyed = 0;
    delete head;
    EXPECT_EQ(testShape::destroyed, 4);
}

TEST_F(Hierarchy, AssigningOntoAChainHeadReleasesTheOldChain) {
    testShape head, extra, source;
    head += extra;
    head += extra;
    source.makeMesh(3, 1);
    testShape::destroyed = 0;
    head = source;
    EXPECT_EQ(testShape::destroyed, 2);
    EXPECT_EQ(chainLength(head), 0);
    EXPECT_EQ(head.getVertexCount(), 3);
}

TEST_F(Hierarchy, AssigningAMemberOfTheOwnChainCopiesItCompletely) {
    testShape outside;
    testShape head, m;
    m.makeMesh(5, 2);
    m.setColour(0.5f, 0.5f, 0.5f, 0.5f);
    head.setParent(&outside);
    head += m;
    head += m;
    testShape* first = member(head, 0);
    head = *first; // the source dies with the old chain; under ASan any late read would show
    EXPECT_EQ(head.getVertexCount(), 5);
    EXPECT_TRUE(head.isTranslucent());
    ASSERT_EQ(chainLength(head), 1);
    EXPECT_EQ(member(head, 0)->getParent(), &head);
    // The member's parent was the head itself: the head keeps its own parent, no cycle.
    EXPECT_EQ(head.getParent(), &outside);
}

TEST_F(Hierarchy, ConnectKeepsTheObjectInPlace) {
    testShape parent, child;
    parent.setLocation(10, 0, 0);
    parent.setOrientation(0, 0, 90);
    child.setLocation(10, 5, 0);
    child.connect(&parent);
    vec loc;
    child.getLocation(loc);
    EXPECT_NEAR(loc.data[0], 5, 1e-5f);
    EXPECT_NEAR(loc.data[1], 0, 1e-5f);
    EXPECT_NEAR(loc.data[2], 0, 1e-5f);
    EXPECT_FLOAT_EQ(child.getLocalOrientation().data[2], -90);
    EXPECT_EQ(child.getParent(), &parent);
    vec where;
    child.getAbsoluteLocation(where);
    EXPECT_NEAR(where.data[0], 10, 1e-4f);
    EXPECT_NEAR(where.data[1], 5, 1e-4f);
}

TEST_F(Hierarchy, DisconnectFoldsTheParentsPlacementIn) {
    testShape parent, child;
    parent.setLocation(1, 2, 3);
    parent.setScale(2);
    child.setParent(&parent);
    child.setLocation(1, 0, 0);
    child.setScale(1.5f);
    child.disconnect();
    vec loc;
    child.getLocation(loc);
    EXPECT_FLOAT_EQ(loc.data[0], 3);
    EXPECT_FLOAT_EQ(loc.data[1], 2);
    EXPECT_FLOAT_EQ(loc.data[2], 3);
    EXPECT_FLOAT_EQ(child.getScale(), 3);
    EXPECT_EQ(child.getParent(), nullptr);

    testShape alone;
    alone.setLocation(4, 5, 6);
    alone.setOrientation(10, 20, 30);
    alone.setLocalScale(2, 2, 2);
    alone.disconnect(); // nothing to fold in
    alone.getLocation(loc);
    EXPECT_FLOAT_EQ(loc.data[0], 4);
    EXPECT_FLOAT_EQ(loc.data[2], 6);
    float x, y, z;
    alone.getOrientation(x, y, z);
    EXPECT_FLOAT_EQ(y, 20);
    EXPECT_FLOAT_EQ(alone.getLocalScale().data[0], 2);
}

TEST(Lights, NumbersZeroToSevenAndNothingElse) {
    EXPECT_EQ(light(0).getLightID(), GL_LIGHT0);
    EXPECT_EQ(light(7).getLightID(), GL_LIGHT7);
    for (short bad : {short(8), short(-1), short(32767)}) {
        childOutcome outcome = runInChild([bad] { light l(bad); });
        EXPECT_EQ(outcome.exitStatus, 255) << bad;
        EXPECT_EQ(outcome.standardOutput, "attempt to create a non-existent OpenGL light\n");
    }
}

TEST(Lights, DefaultsAndCopies) {
    light numbered(3);
    EXPECT_FALSE(numbered.isOn());
    EXPECT_FALSE(numbered.isTranslucent());
    vec loc;
    numbered.getLocation(loc);
    EXPECT_FLOAT_EQ(loc.data[2], 25.0f);
    light plain;
    EXPECT_TRUE(plain.isTranslucent());
    EXPECT_EQ(plain.getLightID(), GL_LIGHT0);
    plain.getLocation(loc);
    EXPECT_FLOAT_EQ(loc.data[2], 2.25f);

    numbered.turnOn();
    object3D* copy = numbered.clone();
    light* asLight = dynamic_cast<light*>(copy);
    ASSERT_NE(asLight, nullptr);
    EXPECT_TRUE(asLight->isOn());
    EXPECT_EQ(asLight->getLightID(), GL_LIGHT3);
    asLight->turnOff();
    EXPECT_TRUE(numbered.isOn());
    delete copy;
}
