// The polymorphic base of everything drawn or placed in the scene: an optional mesh, a two-stage
// placement inherited through `parent`, material colours, visibility, a sibling chain drawn with
// the object, and an optional display list.
#pragma once

#include "support/face.h"
#include "support/matrix.h"
#include "support/texture.h"
#include "support/vec.h"
#include "support/vertex.h"

#include <cstdint>

class object3D {
  public:
    object3D();
    object3D(const object3D& source);
    virtual ~object3D();
    virtual object3D* clone() const = 0;

    object3D& operator=(const object3D& source);
    // Appends a clone of rhs (with rhs's own chain) to the end of this object's sibling chain.
    object3D& operator+=(const object3D& rhs);

    void setLocation(float x, float y, float z) { location.set(x, y, z); }
    void setLocation(const vec& v) { location = v; }
    void getLocation(float& x, float& y, float& z) const;
    void getLocation(vec& v) const { v = location; }
    void moveBy(float x, float y, float z) { location.add(x, y, z); }
    void setOrientation(float x, float y, float z) { orientation.set(x, y, z); }
    void getOrientation(float& x, float& y, float& z) const;
    void rotateBy(float x, float y, float z) { orientation.add(x, y, z); }
    void setScale(float s) { scale = s; }
    void setLocalOffset(float x, float y, float z) { localOffset.set(x, y, z); }
    void localOffsetBy(float x, float y, float z) { localOffset.add(x, y, z); }
    void setLocalOrientation(float x, float y, float z) { localOrientation.set(x, y, z); }
    void localRotateBy(float x, float y, float z) { localOrientation.add(x, y, z); }
    void setLocalScale(float x, float y, float z) { localScale.set(x, y, z); }

    // The diffuse alpha decides the drawing pass: below 1 is translucent (NaN is not).
    void setColour(float red, float green, float blue);
    void setColour(float red, float green, float blue, float alpha);
    void setColour(const float* aColour);
    void getColour(float& r, float& g, float& b, float& a) const;
    void setSpecularColour(float red, float green, float blue, float alpha);
    void setSpecularColour(const float* aColour);
    void setShininess(float shininess) { theShininess = shininess; }
    float getShininess() const { return theShininess; }

    void hide() { invisible = true; }
    void show() { invisible = false; }
    bool isInvisible() const { return invisible; }
    bool isTranslucent() const { return translucent; }
    uint16_t getVertexCount() const { return vertexCount; }
    uint16_t getFaceCount() const { return faceCount; }

    void setTexture(texture* aTexture) { theTexture = aTexture; }
    void setTexture(texture* aTexture, float scaleX, float scaleY);

    // setParent keeps the fields, so the object jumps into the new parent's frame; connect
    // adjusts them so that it stays where it was, and disconnect folds the parent's placement in.
    void setParent(object3D* theParent) { parent = theParent; }
    object3D* getParent() const { return parent; }
    void connect(object3D* theParent);
    void disconnect();

    // Draws the object when its translucency matches the pass, then its sibling chain.
    void draw(bool drawTranslucent);
    void calculateFaceNormals();
    void calculateVertexNormals();

    void getAbsoluteLocation(vec& v);
    void getAbsoluteOrientation(vec& v);
    void getAbsoluteScale(float& s, vec& v);

  protected:
    virtual void privateDraw();

    // depth is 0 for the object itself and grows by one for each ancestor.
    void buildModelViewMatrix(short depth);
    void buildAbsoluteLocation(short depth, matrix& m);
    void buildAbsoluteScale(short depth, float& s, vec& v);

    uint16_t vertexCount = 0;
    uint16_t faceCount = 0;
    vertex* vertices = nullptr;
    face* faces = nullptr;
    vec location;
    vec orientation;
    float scale = 1.0f;
    vec localOffset;
    vec localOrientation;
    vec localScale;
    float theColour[4] = {1, 1, 1, 1};
    float theSpecularColour[4] = {1, 1, 1, 1};
    float theShininess = 25.0f;
    bool flatFaces = true;
    bool invisible = false;
    bool translucent = false;
    texture* theTexture = nullptr;
    float textureScaleX = 1.0f;
    float textureScaleY = 1.0f;
    object3D* parent = nullptr;
    object3D* sibling = nullptr;
    unsigned int listName = 0;
};
