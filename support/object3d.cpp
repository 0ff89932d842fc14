// The scene object: field operations, the transform chain, drawing, normals, parenting and copying.
#include "support/object3d.h"

#include "basicsource/constants.h"
#include "basicsource/program_state.h"
#include "basicsource/utility.h"

#include <GL/gl.h>

#include <new>

object3D::object3D() { localScale.set(1, 1, 1); }

object3D::object3D(const object3D& source) { *this = source; }

object3D::~object3D() {
    delete sibling;
    delete[] vertices;
    delete[] faces;
}

void object3D::getLocation(float& x, float& y, float& z) const {
    x = location.data[0];
    y = location.data[1];
    z = location.data[2];
}

void object3D::getOrientation(float& x, float& y, float& z) const {
    x = orientation.data[0];
    y = orientation.data[1];
    z = orientation.data[2];
}

void object3D::setColour(float red, float green, float blue) { setColour(red, green, blue, 1.0f); }

void object3D::setColour(float red, float green, float blue, float alpha) {
    const float colour[4] = {red, green, blue, alpha};
    setColour(colour);
}

void object3D::setColour(const float* aColour) {
    for (int i = 0; i < 4; ++i) {
        theColour[i] = aColour[i];
    }
    translucent = aColour[3] < 1.0f;
}

void object3D::getColour(float& r, float& g, float& b, float& a) const {
    r = theColour[0];
    g = theColour[1];
    b = theColour[2];
    a = theColour[3];
}

void object3D::setSpecularColour(float red, float green, float blue, float alpha) {
    const float colour[4] = {red, green, blue, alpha};
    setSpecularColour(colour);
}

void object3D::setSpecularColour(const float* aColour) {
    for (int i = 0; i < 4; ++i) {
        theSpecularColour[i] = aColour[i];
    }
}

void object3D::setTexture(texture* aTexture, float scaleX, float scaleY) {
    theTexture = aTexture;
    textureScaleX = scaleX;
    textureScaleY = scaleY;
}

// ---- transforms ----------------------------------------------------------------------------

void object3D::buildModelViewMatrix(short depth) {
    if (parent) {
        parent->buildModelViewMatrix(short(depth + 1));
    }
    glTranslatef(location.data[0], location.data[1], location.data[2]);
    glRotatef(orientation.data[0], 1, 0, 0);
    glRotatef(orientation.data[1], 0, 1, 0);
    glRotatef(orientation.data[2], 0, 0, 1);
    glScalef(scale, scale, scale);
    glRotatef(localOrientation.data[0], 1, 0, 0);
    glRotatef(localOrientation.data[1], 0, 1, 0);
    glRotatef(localOrientation.data[2], 0, 0, 1);
    glTranslatef(localOffset.data[0], localOffset.data[1], localOffset.data[2]);
    // An object's own local scale shapes its geometry only; children do not inherit it.
    if (depth == 0) {
        glScalef(localScale.data[0], localScale.data[1], localScale.data[2]);
    }
}

void object3D::buildAbsoluteLocation(short depth, matrix& m) {
    if (parent) {
        parent->buildAbsoluteLocation(short(depth + 1), m);
    }
    matrix factor;
    factor.setTranslate(location.data[0], location.data[1], location.data[2]);
    m = m * factor;
    factor.setRotateX(orientation.data[0]);
    m = m * factor;
    factor.setRotateY(orientation.data[1]);
    m = m * factor;
    factor.setRotateZ(orientation.data[2]);
    m = m * factor;
    factor.setScale(scale);
    m = m * factor;
    factor.setRotateX(localOrientation.data[0]);
    m = m * factor;
    factor.setRotateY(localOrientation.data[1]);
    m = m * factor;
    factor.setRotateZ(localOrientation.data[2]);
    m = m * factor;
    factor.setTranslate(localOffset.data[0], localOffset.data[1], localOffset.data[2]);
    m = m * factor;
    if (depth == 0) {
        factor.setScale(localScale.data[0], localScale.data[1], localScale.data[2]);
        m = m * factor;
    }
}

void object3D::buildAbsoluteScale(short depth, float& s, vec& v) {
    if (parent) {
        parent->buildAbsoluteScale(short(depth + 1), s, v);
    }
    s = s * scale;
    if (depth == 0) {
        v.data[0] *= localScale.data[0];
        v.data[1] *= localScale.data[1];
        v.data[2] *= localScale.data[2];
    }
}

void object3D::getAbsoluteLocation(vec& v) {
    matrix m;
    buildAbsoluteLocation(0, m);
    v = m * v;
}

void object3D::getAbsoluteOrientation(vec& v) {
    if (parent) {
        parent->getAbsoluteOrientation(v);
    }
    v = v + orientation;
}

void object3D::getAbsoluteScale(float& s, vec& v) {
    s = 1.0f;
    v.set(1, 1, 1, 1);
    buildAbsoluteScale(0, s, v);
}

// ---- drawing and normals -------------------------------------------------------------------

void object3D::draw(bool drawTranslucent) {
    if (invisible) {
        return;
    }
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glLoadIdentity();
    buildModelViewMatrix(0);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, theColour);
    glMaterialfv(GL_FRONT, GL_SPECULAR, theSpecularColour);
    glMaterialf(GL_FRONT, GL_SHININESS, theShininess);
    if (translucent == drawTranslucent) {
        privateDraw();
    }
    // Inside this object's attribute push: each chain member nests one level deeper.
    if (sibling) {
        sibling->draw(drawTranslucent);
    }
    glPopAttrib();
}

void object3D::privateDraw() {
    if (listName != 0) {
        glCallList(listName);
    } else if (faceCount != 0) {
        for (uint16_t i = 0; i < faceCount; ++i) {
            const face& f = faces[i];
            glBegin(f.vertices == 3 ? GL_TRIANGLES : GL_QUADS);
            if (flatFaces) {
                glNormal3fv(f.faceNormal.data);
            }
            unsigned short corners = f.vertices == 4 ? 4 : 3;
            for (unsigned short corner = 0; corner < corners; ++corner) {
                const vertex& v = vertices[f.vertex(corner)];
                if (!flatFaces) {
                    glNormal3fv(v.normal.data);
                }
                glVertex3fv(v.coordinate.data);
            }
            glEnd();
        }
    } else {
        glPointSize(5.0f);
        glBegin(GL_POINTS);
        for (uint16_t i = 0; i < vertexCount; ++i) {
            glVertex3fv(vertices[i].coordinate.data);
        }
        glEnd();
        glPointSize(1.0f);
    }
    gPolygonCount += faceCount;
}

void object3D::calculateFaceNormals() {
    for (uint16_t i = 0; i < faceCount; ++i) {
        face& f = faces[i];
        calculateNormal(f.faceNormal.data, vertices[f.vertex(0)].coordinate.data,
                        vertices[f.vertex(1)].coordinate.data,
                        vertices[f.vertex(2)].coordinate.data);
    }
}

void object3D::calculateVertexNormals() {
    calculateFaceNormals();
    short* sharedFaceCount = new short[vertexCount];
    for (uint16_t i = 0; i < vertexCount; ++i) {
        vertices[i].normal.set(0, 0, 0);
        sharedFaceCount[i] = 0;
    }
    for (uint16_t i = 0; i < faceCount; ++i) {
        const face& f = faces[i];
        for (short corner = 0; corner < f.vertices && corner < 4; ++corner) {
            vertex& v = vertices[f.vert[corner]];
            v.normal.add(f.faceNormal.data[0], f.faceNormal.data[1], f.faceNormal.data[2]);
            sharedFaceCount[f.vert[corner]]++;
        }
    }
    for (uint16_t i = 0; i < vertexCount; ++i) {
        if (sharedFaceCount[i] > 0) {
            vec& n = vertices[i].normal;
            n.set(n.data[0] / sharedFaceCount[i], n.data[1] / sharedFaceCount[i],
                  n.data[2] / sharedFaceCount[i]);
        }
    }
    delete[] sharedFaceCount;
}

// ---- hierarchy -----------------------------------------------------------------------------

void object3D::connect(object3D* theParent) {
    vec parentAbsLoc;
    vec parentAbsOrient;
    if (theParent) {
        theParent->getAbsoluteLocation(parentAbsLoc);
        theParent->getAbsoluteOrientation(parentAbsOrient);
    }
    vec relLocation = location - parentAbsLoc;
    matrix rcx, rcy, rcz;
    rcx.setRotateX(-parentAbsOrient.data[0]);
    rcy.setRotateY(-parentAbsOrient.data[1]);
    rcz.setRotateZ(-parentAbsOrient.data[2]);
    relLocation = rcz * relLocation;
    relLocation = rcy * relLocation;
    relLocation = rcx * relLocation;
    location = relLocation;
    localOrientation = localOrientation - parentAbsOrient;
    parent = theParent;
}

void object3D::disconnect() {
    vec absLocation;
    getAbsoluteLocation(absLocation);
    vec absOrientation;
    getAbsoluteOrientation(absOrientation);
    float absScale;
    vec absLocalScale;
    getAbsoluteScale(absScale, absLocalScale);
    location = absLocation;
    orientation = absOrientation;
    scale = absScale;
    localScale = absLocalScale;
    parent = nullptr;
}

// ---- copying -------------------------------------------------------------------------------

object3D& object3D::operator=(const object3D& source) {
    if (&source == this) {
        return *this;
    }
    // Everything new is built before anything old is released: the source may be a member of
    // the chain this object is about to give up.
    vertex* newVertices = new (std::nothrow) vertex[source.vertexCount];
    if (!newVertices) {
        fatal("object3D::operator= couldn't allocate a new vertices array (out of memory?)");
    }
    face* newFaces = new (std::nothrow) face[source.faceCount];
    if (!newFaces) {
        fatal("object3D::operator= couldn't allocate a new faces array (out of memory?)");
    }
    for (uint16_t i = 0; i < source.vertexCount; ++i) {
        newVertices[i] = source.vertices[i];
    }
    for (uint16_t i = 0; i < source.faceCount; ++i) {
        newFaces[i] = source.faces[i];
    }
    object3D* newSibling = source.sibling ? source.sibling->clone() : nullptr;

    // A parent inside the chain being released (or this object itself) would dangle or make a
    // cycle; the object then keeps the parent it had.
    object3D* newParent = source.parent;
    for (object3D* old = sibling; old; old = old->sibling) {
        if (newParent == old) {
            newParent = parent;
        }
    }
    if (newParent == this) {
        newParent = parent;
    }

    vertexCount = source.vertexCount;
    faceCount = source.faceCount;
    flatFaces = source.flatFaces;
    invisible = source.invisible;
    translucent = source.translucent;
    scale = source.scale;
    theShininess = source.theShininess;
    theTexture = source.theTexture;
    textureScaleX = source.textureScaleX;
    textureScaleY = source.textureScaleY;
    listName = source.listName;
    orientation = source.orientation;
    localOrientation = source.localOrientation;
    location = source.location;
    localOffset = source.localOffset;
    localScale = source.localScale;
    for (int i = 0; i < 4; ++i) {
        theColour[i] = source.theColour[i];
        theSpecularColour[i] = source.theSpecularColour[i];
    }
    bool sourceHasParent = source.parent != nullptr;

    // From here on the source may be gone.
    delete[] vertices;
    delete[] faces;
    delete sibling;
    vertices = newVertices;
    faces = newFaces;
    parent = newParent;
    sibling = newSibling;
    if (sibling) {
        sibling->parent = this;
        if (!sourceHasParent) {
            for (object3D* member = sibling; member; member = member->sibling) {
                member->parent = this;
            }
        }
    }
    return *this;
}

object3D& object3D::operator+=(const object3D& rhs) {
    object3D* privateObject = rhs.clone();
    privateObject->parent = this;
    object3D* lastSibling = this;
    while (lastSibling->sibling) {
        lastSibling = lastSibling->sibling;
    }
    lastSibling->sibling = privateObject;
    return *this;
}
