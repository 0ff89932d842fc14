// Choreography: the cast, its opening state and the timeline of the show. Every scene sets
// absolute poses computed from the show time, so the picture depends on the time alone.
#include "basicsource/scene.h"

#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/utility.h"
#include "objects/bcc_triangle_block.h"
#include "objects/terrain.h"

#include <algorithm>

object3D** triangleArray = nullptr;
object3D* triangleTranslucent = nullptr;
object3D* spaceTriangle = nullptr;
object3D* ground = nullptr;
hexdome* dome1 = nullptr;
hexdome* dome2 = nullptr;
hexdome* dome3 = nullptr;
hexdome* dome5 = nullptr;

namespace {

// Tilts a block's AIJ corner onto the y axis.
const float kBlockTilt = -20.905167f;

// smoothAcceleration written in the order the timeline table reads: A -> B [S; R, C].
float ease(float from, float to, float start, float ramp, float cruise) {
    return smoothAcceleration(start, ramp, cruise, from, to);
}

// The ground image is read once, at the first construction: later casts (every jump, every
// movie) are built from the same decoded grid, so they never touch the disk and cannot fail.
const terrainGrid& groundGrid() {
    static const terrainGrid grid = readTerrainGrid("ground.bmp");
    return grid;
}

} // namespace

void ConstructScene() {
    const float triangleArrayInfo[7] = {0.08f, 0.05f, 0.957f, 0.643f, 0.376f, 1.0f, 5.0f};
    const float angle = 60.0f;
    triangleArray = new object3D*[6];
    for (int i = 0; i < 6; ++i) {
        triangleArray[i] = new bcc_triangle_block(triangleArrayInfo);
        triangleArray[i]->setLocation(-20, -2.4f, 10);
        triangleArray[i]->setLocalOrientation(kBlockTilt, 0, 0);
        triangleArray[i]->setOrientation(0, float(i) * angle, 0);
        triangleArray[i]->hide();
    }

    const float triangleTranslucentInfo[7] = {0.08f, 0.05f, 0.957f, 0.643f, 0.376f, 1.0f, 5.0f};
    triangleTranslucent = new bcc_triangle_block(triangleTranslucentInfo);
    triangleTranslucent->setLocation(-20, -2.4f, 10);
    triangleTranslucent->setLocalOrientation(kBlockTilt, 0, 0);

    const float spaceTriangleInfo[7] = {0.08f, 0.05f, 0.957f, 0.643f, 0.376f, 0.4f, 5.0f};
    spaceTriangle = new bcc_triangle_block(spaceTriangleInfo);
    spaceTriangle->setLocation(0, 10, 18);
    spaceTriangle->hide();

    ground = new terrain(groundGrid());
    ground->setLocation(0, -4, 0);
    ground->setLocalScale(2, 2, 2);

    const float domeInfo1[7] = {0.08f, 0.05f, 0.957f, 0.643f, 0.376f, 1.0f, 4.0f};
    dome1 = new hexdome(domeInfo1, false);
    dome1->setLocation(0, -2.15f, 20);
    dome1->hide();
    const float domeInfo2[7] = {0.08f, 0.05f, 0.545f, 0.27f, 0.074f, 1.0f, 4.0f};
    dome2 = new hexdome(domeInfo2, false);
    dome2->setLocation(30, -3, -30);
    dome2->hide();
    const float domeInfo3[7] = {0.08f, 0.05f, 0.545f, 0.27f, 0.074f, 1.0f, 5.0f};
    dome3 = new hexdome(domeInfo3, false);
    dome3->setLocation(30, -2.1f, 30);
    dome3->hide();
    const float domeInfo5[7] = {0.08f, 0.05f, 0.184f, 0.31f, 0.31f, 1.0f, 6.0f};
    dome5 = new hexdome(domeInfo5, false);
    dome5->setLocation(-30, -2, -10);
    dome5->hide();

    shapeVector.push_back(ground);
    for (int i = 0; i < 6; ++i) {
        shapeVector.push_back(triangleArray[i]);
    }
    shapeVector.push_back(triangleTranslucent);
    shapeVector.push_back(spaceTriangle);
    shapeVector.push_back(dome1);
    shapeVector.push_back(dome2);
    shapeVector.push_back(dome3);
    shapeVector.push_back(dome5);
}

void destroyCast() {
    for (object3D* shape : shapeVector) {
        delete shape;
    }
    shapeVector.clear();
    delete[] triangleArray;
    triangleArray = nullptr;
}

void rebuildCast() {
    destroyCast();
    ConstructScene();
    InitScene();
}

void poseShowAt(int64_t showMilliseconds) {
    const int64_t target = std::clamp<int64_t>(showMilliseconds, 0, kShowLengthMilliseconds);
    const int64_t frameMilliseconds = 1000 / kPoseFramesPerSecond;
    // Held still while posing, so each pose sees exactly its own time.
    pauseAnimationTimer();
    rebuildCast();
    gProgramMode = kpmAnimating;
    // Scenes build on what came before (blocks shown, ground revealed), so the moment is reached
    // through every earlier frame, as when the show plays from its start.
    for (int64_t t = 0; t < target; t += frameMilliseconds) {
        setAnimationTimeMilliseconds(t);
        AnimateScene();
    }
    setAnimationTimeMilliseconds(target);
    AnimateScene();
}

void InitScene() {
    camera.setLocation(-16, 4, 7);
    camera.setTarget(-22, 1, 10);
    ground->hide();
    // A light with no parent shines from twice its location: these light the scene from
    // (-20, 6, 20), (-20, 6, -10), (-20, 1, 20) and (-20, 1, -10).
    struct lightSetting {
        light* which;
        float x, y, z;
        float specularAlpha;
    };
    const lightSetting settings[4] = {{&light1, -10, 3, 10, 0.2f},
                                      {&light2, -10, 3, -5, 0.2f},
                                      {&light3, -10, 0.5f, 10, 1.0f},
                                      {&light4, -10, 0.5f, -5, 1.0f}};
    for (const lightSetting& s : settings) {
        s.which->turnOn();
        s.which->setLocation(s.x, s.y, s.z);
        s.which->setColour(0.7f, 0.7f, 0.7f, 1.0f);
        s.which->setSpecularColour(0.2f, 0.2f, 0.2f, s.specularAlpha);
    }
}

void AnimateScene() {
    float t = getAnimationTime();
    if (t < kSceneStarts[1]) {
        Scene1(t);
    } else if (t < kSceneStarts[2]) {
        Scene2(t);
    } else if (t < kSceneStarts[3]) {
        Scene3(t);
    } else if (t < kSceneStarts[4]) {
        Scene4(t);
    } else if (t < kSceneStarts[5]) {
        Scene5(t);
    }
    if (t >= kShowLength) {
        gProgramMode = kpmFinished;
    }
}

// The lone opaque block; the camera moves around it.
void Scene1(float t1) {
    if (t1 > 0) {
        camera.setLocation(ease(-16, -18, 0, 1, 3), ease(4, 1, 0, 1, 3), ease(7, 8, 0, 1, 3));
        camera.setTarget(-22, ease(1, 4, 0, 1, 3), 10);
    }
    if (t1 > 5) {
        camera.setTarget(ease(-22, -20, 5, 2, 6), ease(4, 2.5f, 5, 2, 6), 10);
        camera.setLocation(ease(-18, -16, 5, 0.1f, 4.8f), ease(1, 0, 5, 0.1f, 4.8f),
                           ease(8, 10, 5, 0.1f, 4.8f));
    }
    if (t1 > 10) {
        camera.setLocation(ease(-16, -20, 10, 0.1f, 4.8f), 0, ease(10, 16.8f, 10, 0.1f, 4.8f));
    }
}

// The block turns translucent and spins one turn, then vanishes while the hexagon builds up.
void Scene2(float t2) {
    triangleTranslucent->setColour(0.957f, 0.643f, 0.376f, 0.3f);
    triangleTranslucent->setOrientation(0, float((double(t2) - 15) * 60), 0);
    triangleArray[0]->show();
    camera.setLocation(ease(-20, -24, 21, 5, 6), 0, ease(16.8f, 10, 21, 5, 6));
    float a = (t2 - 15) * 60;
    if (a >= 360) {
        triangleTranslucent->hide();
    }
    const float appears[5] = {540, 720, 900, 1080, 1260};
    for (int i = 0; i < 5; ++i) {
        if (a >= appears[i]) {
            triangleArray[i + 1]->show();
        }
    }
}

// The terrain and two brown domes appear; from 44 s the camera swings round as two lights sweep.
void Scene3(float t3) {
    ground->show();
    dome2->show();
    dome3->show();
    camera.setLocation(-24, ease(0, 3.5f, 37, 1.5f, 4), ease(10, 12, 37, 1.5f, 4));
    if (t3 >= 44) {
        camera.setLocation(ease(-24, -16, 44, 2.5f, 1), 3.5f, ease(12, 7, 44, 2.5f, 1));
        camera.setTarget(ease(-20, 0, 44, 2.5f, 1), ease(2.5f, 0, 44, 2.5f, 1),
                         ease(10, 20, 44, 2.5f, 1));
        light1.setLocation(ease(-10, 10, 44, 2.5f, 1), ease(3, 0.5f, 44, 2.5f, 1), 10);
        light2.setLocation(ease(-10, 10, 44, 2.5f, 1), ease(3, 0.5f, 44, 2.5f, 1), -5);
    }
}

// dome1 builds itself up while the camera flies a tour of five legs.
void Scene4(float t4) {
    dome1->animate(t4 - 44);
    dome1->show();
    dome5->show();
    triangleTranslucent->hide();
    for (int i = 0; i < 6; ++i) {
        triangleArray[i]->hide();
    }
    camera.setLocation(ease(-16, -10, 50, 2, 4), ease(3.5f, -1, 50, 2, 4), ease(7, 26, 50, 2, 4));
    if (t4 >= 58) {
        camera.setLocation(ease(-10, 10, 58, 2, 4), ease(-1, 0, 58, 2, 4), ease(26, 30, 58, 2, 4));
    }
    if (t4 >= 66) {
        camera.setLocation(10, ease(0, 1, 66, 2, 4), ease(30, 12, 66, 2, 4));
    }
    if (t4 >= 74) {
        camera.setLocation(ease(10, -10, 74, 2, 2), ease(1, 2, 74, 2, 2), 12);
    }
    if (t4 >= 80) {
        camera.setLocation(ease(-10, -6, 80, 2, 2), ease(2, 3, 80, 1, 2), ease(12, 26, 80, 2, 2));
    }
}

// The translucent space block spins high up; the camera closes in, tilts up and climbs.
void Scene5(float t5) {
    spaceTriangle->show();
    spaceTriangle->setOrientation(0, t5 * 10, 0);
    camera.setLocation(ease(-6, -4, 86, 1, 1), ease(3, 0, 86, 1, 1), 26);
    if (t5 > 89) {
        camera.setLocation(ease(-4, 0, 89, 1, 3), 0, ease(26, 20, 89, 1, 3));
        camera.setTarget(0, ease(0, 1, 89, 1, 3), ease(20, 18, 89, 1, 3));
    }
    if (t5 > 94) {
        camera.setTarget(0, ease(1, 15, 94, 2, 2), 18);
    }
    if (t5 > 100) {
        camera.setLocation(ease(0, 5, 100, 3, 4), ease(0, 12, 100, 3, 4), ease(20, 15, 100, 3, 4));
    }
}
